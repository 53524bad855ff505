// Kills a child process (SIGKILL) at many points of a save or a delete, through the table
// file layer's step seam (before its Nth write, truncation or rename), then checks the
// archive it leaves: the tables open without an error, every listed task is whole (its
// alleles and counts as saved), exactly the tasks of before or of after the operation are
// listed, no live row is left without its task once the archive is opened, and the next save
// works. The archive as the kill left it, before this program opens it, is kept in
// FOLDER/raw/<operation>-<point> for check_crash_archives.py to read with python3-dbfread.
// Usage: archive_crash_test FOLDER. Prints the number of kill points tried; exit 0 when
// every point passed.
#include "archive/archive_rules.h"
#include "archive/task_list.h"
#include "platform/file_sync.h"
#include "tests/archive/sample_archive.h"
#include "tests/archive/stored_rows.h"

#include <csignal>
#include <functional>
#include <iostream>
#include <map>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Names = std::set<std::string>;

// The base archive: A (3 alleles, 9999) and C (50 alleles, 9997) live, the rows of B (3
// alleles, 9998) freed, so a save reuses them and appends the rest.
const std::map<std::string, TaskRecord>& records()
{
    static const std::map<std::string, TaskRecord> tasks = {
        {"A", sampleTask("A", 3, 10)},
        {"B", sampleTask("B", 3, 20)},
        {"C", sampleTask("C", 50, 1000)},
        {"New small", sampleTask("New small", 3, 30)},
        {"New largest", sampleTask("New largest", 50, 5000)},
        {"Next", sampleTask("Next", 3, 40)},
    };
    return tasks;
}

struct Operation
{
    std::string name;
    std::function<void(ArchiveFiles&)> run;
    Names after; // the tasks listed once it has run; before it, A and C
    int stride;  // every stride-th point is tried, and every one of the last 40
};

void save(ArchiveFiles& archive, const std::string& name)
{
    if (saveTask(archive.tables(), records().at(name)).outcome != SaveOutcome::saved)
        throw std::runtime_error("not saved: " + name);
}

void remove(ArchiveFiles& archive, const std::string& name)
{
    if (!findTaskByName(archive.spisok, Cp1251Text::fromBytes(name)) ||
        !deleteCurrentTask(archive.tables()))
        throw std::runtime_error("not deleted: " + name);
}

// The operation as the program runs it, the index rewrite of the idle time and the closing
// of the tables included.
void runWhole(const fs::path& folder, const Operation& operation,
              const std::function<void()>& armed)
{
    ArchiveFiles archive(folder);
    freeRowsWithoutTask(archive.spisok, archive.allel, archive.fenotip);
    armed();
    operation.run(archive);
    for (Table* table : {&archive.spisok, &archive.allel, &archive.fenotip})
        table->close();
}

void copyArchive(const fs::path& from, const fs::path& to)
{
    fs::remove_all(to);
    fs::create_directories(to);
    for (const auto& entry : fs::directory_iterator(from))
        fs::copy_file(entry.path(), to / entry.path().filename());
}

int stepsOf(const fs::path& base, const fs::path& work, const Operation& operation)
{
    copyArchive(base, work);
    int steps = 0;
    runWhole(work, operation, [&] { setFileStepHook([&](const std::string&) { ++steps; }); });
    setFileStepHook({});
    return steps;
}

// Runs the operation in a child killed before its step `point`; false when the child was
// not killed there.
bool killAt(const fs::path& work, const Operation& operation, int point)
{
    const pid_t child = fork();
    if (child == 0) {
        try {
            int steps = 0;
            runWhole(work, operation, [&] {
                setFileStepHook([&](const std::string&) {
                    if (++steps == point) raise(SIGKILL);
                });
            });
        } catch (const std::exception& e) {
            std::cerr << operation.name << " at point " << point << ": " << e.what() << "\n";
        }
        _exit(3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

Names listedTasks(Table& spisok)
{
    Names names;
    spisok.setFilter("ot=true");
    spisok.setFiltered(true);
    for (spisok.first(); !spisok.eof(); spisok.next())
        names.insert(spisok.fieldByName("name").asString().bytes());
    return names;
}

void expectWhole(ArchiveFiles& archive, const Names& names)
{
    for (const std::string& name : names) {
        const TaskRecord& saved = records().at(name);
        if (!findTaskByName(archive.spisok, Cp1251Text::fromBytes(name)))
            throw std::runtime_error(name + " not found");
        const std::optional<TaskRecord> loaded = loadTask(archive.tables());
        if (!loaded || loaded->alleleRows != saved.alleleRows || loaded->counts != saved.counts)
            throw std::runtime_error(name + " is not whole");
    }
}

// What is wrong with the archive a kill left, or "" when nothing.
std::string problemAfterKill(const fs::path& work, const Operation& operation)
{
    try {
        ArchiveFiles archive(work);
        freeRowsWithoutTask(archive.spisok, archive.allel, archive.fenotip);
        const Names listed = listedTasks(archive.spisok);
        if (listed != Names{"A", "C"} && listed != operation.after)
            return "a half task is listed (" + std::to_string(listed.size()) + " tasks)";
        expectWhole(archive, listed);
        std::set<std::string> keys;
        for (const StoredRow& row : liveRows((work / "SPISOK.DBF").string()))
            keys.insert(row.at("INDEX"));
        for (const char* table : {"ALLEL.DBF", "FENOTIP.DBF"})
            for (const StoredRow& row : liveRows((work / table).string()))
                if (!keys.contains(row.at("INDEX")))
                    return std::string("a live row of ") + table + " without its task";
        save(archive, "Next");
        Names next = listed;
        next.insert("Next");
        if (listedTasks(archive.spisok) != next) return "the next save is not listed";
        expectWhole(archive, next);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: archive_crash_test FOLDER\n";
        return 2;
    }
    const fs::path folder = argv[1];
    const fs::path base = folder / "base";
    const fs::path work = folder / "work";
    fs::remove_all(folder);
    fs::create_directories(base);
    {
        ArchiveFiles archive(base);
        for (const char* name : {"A", "B", "C"})
            save(archive, name);
        remove(archive, "B");
    }

    const std::vector<Operation> operations = {
        {"save-3", [](ArchiveFiles& a) { save(a, "New small"); }, {"A", "C", "New small"}, 1},
        {"save-50", [](ArchiveFiles& a) { save(a, "New largest"); }, {"A", "C", "New largest"}, 37},
        {"delete-3", [](ArchiveFiles& a) { remove(a, "A"); }, {"C"}, 1},
        {"delete-50", [](ArchiveFiles& a) { remove(a, "C"); }, {"A"}, 37},
    };
    int tried = 0;
    int failed = 0;
    for (const Operation& operation : operations) {
        const int steps = stepsOf(base, work, operation);
        int triedHere = 0;
        for (int point = 1; point <= steps; ++point) {
            if (point % operation.stride != 1 % operation.stride && point <= steps - 40) continue;
            copyArchive(base, work);
            std::string problem = killAt(work, operation, point) ? "" : "the child was not killed";
            copyArchive(work, folder / "raw" / (operation.name + "-" + std::to_string(point)));
            if (problem.empty()) problem = problemAfterKill(work, operation);
            ++triedHere;
            if (!problem.empty()) {
                ++failed;
                std::cout << "FAIL " << operation.name << " killed before step " << point << " of "
                          << steps << ": " << problem << "\n";
            }
        }
        std::cout << operation.name << ": " << triedHere << " kill points of " << steps
                  << " steps\n";
        tried += triedHere;
    }
    std::cout << "kill points tried: " << tried << ", failed: " << failed << "\n";
    return failed == 0 ? 0 : 1;
}
