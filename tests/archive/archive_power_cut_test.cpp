// Simulates power cuts during saves, a delete, a relabelling, backups and a restore, through the
// seams of the
// file layer: every write, truncation, rename, copy and removal of an archive file, and every
// flush, is a crash point. There the disk holds what was flushed and, of the rest, any part a
// disk could keep: whole 512-byte sectors (or 4 KiB pages) of a file, its new length or its old
// one (a longer file then ends in zeros), each change of a folder's names or not (the two names
// of a rename together). The states are subsets of those parts: all of them when they are few,
// otherwise none, all, some alone, all but one and random ones, at most 24 per point.
//
// In each state the program starts as it does: a restore cut short is finished, the tables are
// opened (and mended), rows without their task freed, stale labels freed. Then the archive must
// have opened, and list exactly the tasks of before or of after the operation, each whole with
// its labels and unchanged (a relabelling: each task with its old labels or its new ones; for a
// backup: the working archive as it was, and a restore from the backup either refused or
// giving the tasks of the old backup or of the new one); and the next save must work. Each
// distinct archive so opened is kept in FOLDER/opened/<n> with the tasks the engine read
// (tasks.json), which check_power_cut_archives.py reads with python3-dbfread.
// Usage: archive_power_cut_test FOLDER. Prints the states of each kind; exit 0 when every
// state passed.
#include "archive/archive_rules.h"
#include "archive/backup_restore.h"
#include "archive/task_labels.h"
#include "archive/task_list.h"
#include "platform/cp1251.h"
#include "platform/file_sync.h"
#include "tables/table_error.h"
#include "tests/archive/sample_archive.h"

#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <set>

namespace fs = std::filesystem;

namespace {

using Bytes = std::shared_ptr<const std::vector<std::uint8_t>>;
using Names = std::map<std::string, ino_t>; // the files of a folder by name
using Tree = std::map<std::string, Names>;  // "work" and "backup"

struct TaskRows
{
    std::array<Cp1251Text, maxAlleles> alleles;
    std::vector<PhenotypeCount> counts;
    TaskLabels labels;
    bool operator==(const TaskRows&) const = default;
};
using Tasks = std::map<std::string, TaskRows>;

// The files at one crash point: as the program sees them, and as flushed to the disk.
struct Moment
{
    Tree now, kept;
    std::map<ino_t, Bytes> nowData, keptData;
};

// Takes the moments of an operation through the seams; every file seen is held open, so that
// no inode number is given again while it runs.
class Recorder
{
public:
    explicit Recorder(std::map<std::string, fs::path> folders) : folders_(std::move(folders))
    {
        kept_ = listing();
        keptData_ = data_;
        setFileStepHook([this](const std::string&) { point(); });
        setSyncHook([this](const std::string& path) {
            point();
            flushed(path);
            return 0;
        });
    }
    ~Recorder()
    {
        setFileStepHook({});
        setSyncHook({});
        for (const auto& [ino, fd] : fds_)
            ::close(fd);
    }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    std::vector<Moment> moments;

private:
    void point() { moments.push_back({listing(), kept_, data_, keptData_}); }

    void flushed(const std::string& path)
    {
        const Tree now = listing();
        for (const auto& [label, folder] : folders_) {
            std::error_code error;
            if (fs::equivalent(folder, path, error)) kept_[label] = now.at(label);
        }
        struct stat status = {};
        if (::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            data_.contains(status.st_ino))
            keptData_[status.st_ino] = data_.at(status.st_ino);
    }

    Tree listing()
    {
        Tree tree;
        for (const auto& [label, folder] : folders_) {
            Names& names = tree[label];
            for (const auto& entry : fs::directory_iterator(folder)) {
                if (!entry.is_regular_file()) continue;
                const std::string path = entry.path().string();
                struct stat status = {};
                if (::stat(path.c_str(), &status) != 0) continue;
                names[entry.path().filename().string()] = status.st_ino;
                if (!fds_.contains(status.st_ino))
                    fds_[status.st_ino] = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
                std::vector<std::uint8_t> bytes(static_cast<std::size_t>(status.st_size));
                if (::pread(fds_[status.st_ino], bytes.data(), bytes.size(), 0) !=
                    static_cast<ssize_t>(bytes.size()))
                    throw std::runtime_error("cannot read " + path);
                const auto known = data_.find(status.st_ino);
                if (known == data_.end() || *known->second != bytes)
                    data_[status.st_ino] = std::make_shared<const std::vector<std::uint8_t>>(bytes);
            }
        }
        return tree;
    }

    std::map<std::string, fs::path> folders_;
    std::map<ino_t, int> fds_;
    std::map<ino_t, Bytes> data_;
    Tree kept_;
    std::map<ino_t, Bytes> keptData_;
};

// A part of the unflushed changes that the disk keeps or not: a group of names of a folder,
// a unit of a file's bytes, or a file's new length.
struct Part
{
    std::string folder;
    std::set<std::string> names;
    ino_t ino = 0;
    std::size_t begin = 0, end = 0; // a unit; begin == end for the length
};

const std::vector<std::uint8_t>& bytesOf(const std::map<ino_t, Bytes>& data, ino_t ino)
{
    static const std::vector<std::uint8_t> none;
    const auto found = data.find(ino);
    return found == data.end() ? none : *found->second;
}

std::uint8_t byteAt(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return at < bytes.size() ? bytes[at] : 0;
}

std::vector<Part> partsOf(const Moment& m, std::size_t unit)
{
    std::vector<Part> parts;
    std::set<ino_t> inodes;
    for (const auto& [label, kept] : m.kept) {
        const Names& now = m.now.at(label);
        // Changed names, grouped by the inode they name now, or named (the two of a rename).
        std::map<ino_t, std::set<std::string>> groups;
        for (const Names* side : {&kept, &now})
            for (const auto& [name, ino] : *side) {
                inodes.insert(ino);
                const auto k = kept.find(name);
                const auto n = now.find(name);
                if (k == kept.end() || n == now.end() || k->second != n->second)
                    groups[n != now.end() ? n->second : k->second].insert(name);
            }
        for (auto& [ino, names] : groups)
            parts.push_back({label, std::move(names), 0, 0, 0});
    }
    for (ino_t ino : inodes) {
        const auto& old = bytesOf(m.keptData, ino);
        const auto& now = bytesOf(m.nowData, ino);
        if (old.size() != now.size()) parts.push_back({"", {}, ino, 0, 0});
        for (std::size_t begin = 0; begin < std::max(old.size(), now.size()); begin += unit)
            for (std::size_t at = begin; at < begin + unit; ++at)
                if (byteAt(old, at) != byteAt(now, at)) {
                    parts.push_back({"", {}, ino, begin, begin + unit});
                    break;
                }
    }
    return parts;
}

// The subsets of n parts tried at one point (true: the disk kept the part): every one of a few
// parts; of more, none, all, some alone or all but one, and random ones, 24 at most.
std::vector<std::vector<bool>> choices(std::size_t n, std::mt19937& random)
{
    std::set<std::vector<bool>> chosen;
    const auto add = [&](const std::function<bool(std::size_t)>& keeps) {
        std::vector<bool> c(n);
        for (std::size_t i = 0; i < n; ++i)
            c[i] = keeps(i);
        chosen.insert(c);
    };
    if (n <= 4) {
        for (std::size_t bits = 0; bits < (std::size_t{1} << n); ++bits)
            add([&](std::size_t i) { return (bits >> i) & 1; });
        return {chosen.begin(), chosen.end()};
    }
    add([](std::size_t) { return false; });
    add([](std::size_t) { return true; });
    for (int tries = 0; chosen.size() < 12 && tries < 100; ++tries) {
        const std::size_t one = random() % n;
        add([&](std::size_t i) { return i == one; });
        add([&](std::size_t i) { return i != one; });
    }
    for (int tries = 0; chosen.size() < 24 && tries < 100; ++tries)
        add([&](std::size_t) { return random() & 1; });
    return {chosen.begin(), chosen.end()};
}

// Writes the state that keeps the chosen parts into the folders, made anew.
void writeState(const Moment& m, const std::vector<Part>& parts, const std::vector<bool>& kept,
                const std::map<std::string, fs::path>& folders)
{
    Tree tree = m.kept;
    std::map<ino_t, std::vector<const Part*>> units;
    std::set<ino_t> longer;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const Part& part = parts[i];
        if (!kept[i]) continue;
        if (!part.folder.empty()) {
            for (const std::string& name : part.names) {
                const Names& now = m.now.at(part.folder);
                if (now.contains(name))
                    tree[part.folder][name] = now.at(name);
                else
                    tree[part.folder].erase(name);
            }
        } else if (part.begin == part.end) {
            longer.insert(part.ino);
        } else {
            units[part.ino].push_back(&part);
        }
    }
    for (const auto& [label, folder] : folders) {
        fs::remove_all(folder);
        fs::create_directories(folder);
        for (const auto& [name, ino] : tree[label]) {
            const auto& old = bytesOf(m.keptData, ino);
            const auto& now = bytesOf(m.nowData, ino);
            std::vector<std::uint8_t> bytes(longer.contains(ino) ? now.size() : old.size());
            for (std::size_t at = 0; at < bytes.size(); ++at)
                bytes[at] = byteAt(old, at);
            for (const Part* unit : units[ino])
                for (std::size_t at = unit->begin; at < std::min(unit->end, bytes.size()); ++at)
                    bytes[at] = byteAt(now, at);
            std::ofstream(folder / name, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        }
    }
}

Tasks listTasks(ArchiveFiles& archive)
{
    Tasks tasks;
    archive.spisok.setFilter("ot=true");
    archive.spisok.setFiltered(true);
    for (std::size_t row = 0; row < archive.spisok.rowCount(); ++row) {
        archive.spisok.moveTo(row);
        const std::optional<TaskRecord> task = loadTask(archive.tables());
        tasks[task->name.bytes()] = {task->alleleRows, task->counts, task->labels};
    }
    return tasks;
}

// The program's start over a folder: a restore cut short finished, the tables opened, rows
// without their task freed.
std::unique_ptr<ArchiveFiles> startProgram(const fs::path& work)
{
    finishInterruptedRestore(work.string());
    auto archive = std::make_unique<ArchiveFiles>(work);
    freeRowsWithoutTask(archive->spisok, archive->allel, archive->fenotip);
    freeStaleLabels(archive->spisok, archive->labels);
    return archive;
}

ArchiveTablesControl controlOf(std::unique_ptr<ArchiveFiles>& archive, const fs::path& work)
{
    return {[&archive] { archive.reset(); }, [&archive, work] { archive = startProgram(work); }};
}

void save(ArchiveFiles& archive, const TaskRecord& task)
{
    if (saveTask(archive.tables(), task).outcome != SaveOutcome::saved)
        throw std::runtime_error("not saved: " + task.name.bytes());
}

Tasks with(Tasks tasks, const TaskRecord& task)
{
    tasks[task.name.bytes()] = {task.alleleRows, task.counts, task.labels};
    return tasks;
}

// Keeps each distinct archive opened after a power cut, with the tasks the engine read, for
// python3-dbfread.
class Kept
{
    static constexpr const char* tableFiles[] = {"SPISOK.DBF", "ALLEL.DBF", "FENOTIP.DBF",
                                                 "METKI.DBF"};

public:
    explicit Kept(fs::path folder) : folder_(std::move(folder)) {}
    void keep(const fs::path& work, const Tasks& tasks)
    {
        std::string key;
        for (const char* table : tableFiles) {
            std::ifstream in(work / table, std::ios::binary);
            key.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        if (!seen_.insert(std::hash<std::string>{}(key)).second) return;
        const fs::path to = folder_ / std::to_string(seen_.size());
        fs::create_directories(to);
        nlohmann::json json = nlohmann::json::object();
        for (const auto& [name, rows] : tasks) {
            nlohmann::json& task = json[cp1251ToUtf8(Cp1251Text::fromBytes(name))];
            task["alleles"] = nlohmann::json::array();
            task["counts"] = nlohmann::json::array();
            for (int k = 1; k <= maxAlleles; ++k)
                if (!rows.alleles[k - 1].empty())
                    task["alleles"].push_back({k, cp1251ToUtf8(rows.alleles[k - 1])});
            for (const PhenotypeCount& count : rows.counts)
                task["counts"].push_back({count.number, count.count});
            task["labels"] = {cp1251ToUtf8(rows.labels.population),
                              cp1251ToUtf8(rows.labels.system)};
        }
        for (const char* table : tableFiles)
            fs::copy_file(work / table, to / table);
        std::ofstream(to / "tasks.json") << json.dump();
    }
    std::size_t count() const { return seen_.size(); }

private:
    fs::path folder_;
    std::set<std::size_t> seen_;
};

// What the backup folder holds before the operation: nothing, or a backup of the base archive
// (with or without its list of files), the working archive having one more task since.
enum class Backup
{
    none,
    whole,
    withoutList
};

struct Scenario
{
    std::string kind;
    Backup backup;
    std::function<void(std::unique_ptr<ArchiveFiles>& archive, const fs::path& work)> run;
    std::vector<Tasks> allowed;  // the working archive's tasks after a start
    std::vector<Tasks> restored; // backups: the tasks a restore from the backup may give
};

// Why tasks listed are not one of the allowed sets: a task not whole or changed, or which.
std::string differenceFrom(const Tasks& listed, const std::vector<Tasks>& allowed)
{
    for (const auto& [name, rows] : listed)
        if (std::none_of(allowed.begin(), allowed.end(), [&](const Tasks& tasks) {
                return tasks.contains(name) && tasks.at(name) == rows;
            }))
            return "the task " + name + " is listed, but not as saved";
    return std::to_string(listed.size()) + " tasks are listed, neither those before nor after";
}

// What is wrong with the state in the folders, or "".
std::string problemOf(const Scenario& scenario, const fs::path& work, Kept& kept)
{
    const Tasks next = {{"Next", {}}};
    try {
        auto archive = startProgram(work);
        Tasks tasks = listTasks(*archive);
        if (std::find(scenario.allowed.begin(), scenario.allowed.end(), tasks) ==
            scenario.allowed.end())
            return differenceFrom(tasks, scenario.allowed);
        if (!scenario.restored.empty()) {
            archive.reset();
            const std::vector<std::string> messages =
                restoreArchive('E', work.string(), {[] {}, [] {}});
            archive = startProgram(work);
            const Tasks after = listTasks(*archive);
            const bool done = messages.back() == "Данные восстановлены!";
            if (done && std::find(scenario.restored.begin(), scenario.restored.end(), after) ==
                            scenario.restored.end())
                return "a restore from the backup: " + differenceFrom(after, scenario.restored);
            if (!done && after != tasks) return "a refused restore changed the archive";
            tasks = after;
        }
        kept.keep(work, tasks);
        const TaskRecord nextTask = sampleTask("Next", 3, 70);
        save(*archive, nextTask);
        if (listTasks(*archive) != with(tasks, nextTask)) return "the next save is not whole";
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: archive_power_cut_test FOLDER\n";
        return 2;
    }
    const fs::path root = argv[1];
    fs::remove_all(root);
    const auto folders = [&](const std::string& under) {
        return std::map<std::string, fs::path>{{"work", root / under / "work"},
                                               {"backup", root / under / "E" / "arhivpog"}};
    };

    // The base archive: P1 … P4 (3 alleles), P5 (2), B (3) and Q (3), B deleted: its free rows,
    // under another key than the next task's, include ALLEL.DBF's row 15, across the first 4 KiB
    // page, and SPISOK's row 6, across the second sector. P1, P3 and B have labels.
    const fs::path base = root / "base";
    fs::create_directories(base);
    TaskRecord small = sampleTask("New small", 3, 40);
    small.labels = {toCp1251("Стадо"), toCp1251("ABO")};
    const TaskRecord big = sampleTask("New big", 6, 500);
    const std::map<std::string, TaskLabels> baseLabels = {
        {"P1", {toCp1251("Стадо 1"), toCp1251("ABO")}},
        {"P3", {{}, toCp1251("MN")}},
        {"B", {toCp1251("Стадо 2"), toCp1251("ABO")}}};
    Tasks baseTasks;
    {
        ArchiveFiles archive(base);
        for (const auto& [name, alleles] :
             {std::pair{"P1", 3}, {"P2", 3}, {"P3", 3}, {"P4", 3}, {"P5", 2}, {"B", 3}, {"Q", 3}}) {
            TaskRecord task = sampleTask(name, alleles, 10 * alleles);
            if (baseLabels.contains(name)) task.labels = baseLabels.at(name);
            save(archive, task);
        }
        findTaskByName(archive.spisok, Cp1251Text::fromBytes("B"));
        deleteCurrentTask(archive.tables());
        baseTasks = listTasks(archive);
    }
    Tasks withoutP2 = baseTasks;
    withoutP2.erase("P2");
    const auto copyBase = [&](const fs::path& to) {
        for (const char* file : {"SPISOK.DBF", "ALLEL.DBF", "FENOTIP.DBF", "METKI.DBF",
                                 "SPISOK.CDX", "ALLEL.CDX", "FENOTIP.CDX", "METKI.CDX"})
            fs::copy_file(base / file, to / file);
    };
    using Run = std::function<void(std::unique_ptr<ArchiveFiles>&, const fs::path&)>;
    const auto saving = [](const TaskRecord& task) -> Run {
        return [&task](auto& archive, const fs::path&) { save(*archive, task); };
    };
    const Run backingUp = [](auto& archive, const fs::path& work) {
        backupArchive('E', work.string(), controlOf(archive, work));
    };
    const Run restoring = [](auto& archive, const fs::path& work) {
        restoreArchive('E', work.string(), controlOf(archive, work));
    };
    const Run deleting = [](auto& archive, const fs::path&) {
        findTaskByName(archive->spisok, Cp1251Text::fromBytes("P2"));
        deleteCurrentTask(archive->tables());
    };
    // P1's labels changed, P3's taken away, P4 labelled: each task keeps its old labels or has
    // its new ones.
    const std::map<std::string, TaskLabels> relabelled = {
        {"P1", {toCp1251("Стадо 3"), toCp1251("ABO")}},
        {"P3", {}},
        {"P4", {toCp1251("Стадо 4"), toCp1251("Kell")}}};
    const Run relabelling = [&relabelled](auto& archive, const fs::path&) {
        std::map<int, TaskLabels> changes;
        for (const auto& [name, labels] : relabelled) {
            findTaskByName(archive->spisok, Cp1251Text::fromBytes(name));
            changes[archive->spisok.fieldByName("index").asInteger()] = labels;
        }
        setTaskLabels(archive->spisok, archive->labels, changes);
    };
    std::vector<Tasks> eachOldOrNew;
    for (unsigned chosen = 0; chosen < 1u << relabelled.size(); ++chosen) {
        Tasks tasks = baseTasks;
        unsigned bit = 1;
        for (const auto& [name, labels] : relabelled) {
            if (chosen & bit) tasks[name].labels = labels;
            bit <<= 1;
        }
        eachOldOrNew.push_back(tasks);
    }
    const Tasks later = with(baseTasks, small);
    const std::vector<Scenario> scenarios = {
        {"save into free rows", Backup::none, saving(small), {baseTasks, later}, {}},
        {"save into free and new rows",
         Backup::none,
         saving(big),
         {baseTasks, with(baseTasks, big)},
         {}},
        {"delete", Backup::none, deleting, {baseTasks, withoutP2}, {}},
        {"relabelling", Backup::none, relabelling, eachOldOrNew, {}},
        {"backup over a backup with its list",
         Backup::whole,
         backingUp,
         {later},
         {baseTasks, later}},
        {"backup over an older version's backup",
         Backup::withoutList,
         backingUp,
         {later},
         {baseTasks, later}},
        {"restore", Backup::whole, restoring, {later, baseTasks}, {}},
    };

    Kept kept(root / "opened");
    std::mt19937 random(21);
    int failed = 0;
    std::size_t total = 0;
    for (const Scenario& scenario : scenarios) {
        const auto recording = folders("recorded");
        for (const auto& [label, folder] : recording) {
            fs::remove_all(folder);
            fs::create_directories(folder);
        }
        setenv("VELIMOR_DRIVES", (root / "recorded").c_str(), 1);
        const fs::path& work = recording.at("work");
        copyBase(work);
        if (scenario.backup != Backup::none) {
            // The base backed up, then one more task saved.
            backupArchive('E', work.string(), {[] {}, [] {}});
            if (scenario.backup == Backup::withoutList)
                fs::remove(recording.at("backup") / ".velimor-manifest");
            ArchiveFiles archive(work);
            save(archive, small);
        }
        std::vector<Moment> moments;
        {
            auto archive = startProgram(work);
            Recorder recorder(recording);
            scenario.run(archive, work);
            archive.reset();
            moments = std::move(recorder.moments);
        }
        const auto state = folders("state");
        setenv("VELIMOR_DRIVES", (root / "state").c_str(), 1);
        std::map<std::size_t, std::size_t> states; // by unit
        for (std::size_t point = 0; point < moments.size(); ++point) {
            for (const std::size_t unit : {std::size_t{512}, std::size_t{4096}}) {
                const std::vector<Part> parts = partsOf(moments[point], unit);
                for (const std::vector<bool>& keptParts : choices(parts.size(), random)) {
                    writeState(moments[point], parts, keptParts, state);
                    ++states[unit];
                    const std::string problem = problemOf(scenario, state.at("work"), kept);
                    if (problem.empty()) continue;
                    ++failed;
                    std::cout << "FAIL " << scenario.kind << ", crash point " << point + 1 << " of "
                              << moments.size() << ", " << unit << "-byte units: " << problem
                              << "\n";
                }
            }
        }
        std::cout << scenario.kind << ": " << moments.size() << " crash points, " << states[512]
                  << " states by sector, " << states[4096] << " by page\n";
        total += states[512] + states[4096];
    }
    std::cout << "states: " << total << ", failed: " << failed
              << ", distinct archives kept: " << kept.count() << "\n";
    return failed == 0 ? 0 : 1;
}
