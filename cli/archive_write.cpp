#include "cli/archive_write.h"

#include "archive/archive_rules.h"
#include "archive/backup_restore.h"
#include "archive/count_table_import.h"
#include "archive/task_labels.h"
#include "cli/mode_arguments.h"
#include "cli/task_file.h"
#include "platform/clock.h"
#include "platform/cp1251.h"
#include "tables/archive_schema.h"
#include "tables/table_error.h"
#include "task/count_entry.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>

namespace {

constexpr int badInput = 2;
constexpr int notWritten = 1;
constexpr std::size_t taskNameWidth = 40; // SPISOK's NAME

struct WriteOptions
{
    bool import = false;
    bool save = false;
    std::string table;
    std::string allelesFile;
    std::string system;
    std::string archiveFolder;
    std::string taskName;
    std::string population;
    std::string taskFile;
};

// The options, or the problem (UTF-8) in problem.
WriteOptions parseWriteOptions(const std::vector<std::string>& arguments, std::string& problem)
{
    WriteOptions options;
    CLI::App app("velimor-calc --import | --save", "velimor-calc");
    app.set_help_flag();
    app.add_option("--import", options.table);
    app.add_flag("--save", options.save);
    app.add_option("--alleles", options.allelesFile);
    app.add_option("--system", options.system);
    app.add_option("--archive", options.archiveFolder);
    app.add_option("--task", options.taskName);
    app.add_option("--population", options.population);
    app.add_option("TASKFILE", options.taskFile);
    if (const auto wrong = parseModeArguments(app, arguments, "у параметра не указано значение")) {
        problem = *wrong;
        return options;
    }
    options.import = app.count("--import") > 0;
    if (options.import == options.save)
        problem = "--import и --save не указываются вместе";
    else if (options.archiveFolder.empty())
        problem = "не указана папка архива --archive FOLDER";
    else if (options.import && (options.allelesFile.empty() || options.system.empty()))
        problem = "с --import указываются --alleles TASKFILE и --system NAME";
    else if (options.import && (!options.taskName.empty() || !options.population.empty() ||
                                !options.taskFile.empty()))
        problem = "с --import не указываются --task, --population и файл задачи";
    else if (options.save && (options.taskName.empty() || options.taskFile.empty()))
        problem = "с --save указываются --task NAME и файл задачи";
    else if (options.save && !options.allelesFile.empty())
        problem = "с --save не указывается --alleles";
    return options;
}

// The archive tables of a folder opened for writing as the program opens them: rows that an
// interrupted save or delete left are freed before anything is written.
struct WritableArchive
{
    explicit WritableArchive(const std::filesystem::path& folder)
        : spisok((folder / "SPISOK.DBF").string(), spisokSchema()),
          allel((folder / "ALLEL.DBF").string(), allelSchema()),
          fenotip((folder / "FENOTIP.DBF").string(), fenotipSchema()),
          labels((folder / "METKI.DBF").string(), labelSchema())
    {
        for (Table* table : {&allel, &spisok, &fenotip, &labels})
            table->open();
        freeRowsWithoutTask(spisok, allel, fenotip);
        freeStaleLabels(spisok, labels);
    }
    ArchiveTables tables() { return {spisok, allel, fenotip, &labels}; }

    Table spisok;
    Table allel;
    Table fenotip;
    Table labels;
};

struct ReadTask
{
    std::unique_ptr<TaskState> task = std::make_unique<TaskState>();
    LoadedTask loaded;
    std::string problem; // one line, UTF-8
};

ReadTask readTask(const std::string& file)
{
    ReadTask read;
    const std::optional<std::string> text = readTaskFile(file, read.problem);
    if (!text) return read;
    read.loaded = loadTaskFile(*text, *read.task);
    if (read.loaded.problem) read.problem = taskFileProblemText(file, *read.loaded.problem);
    return read;
}

// The record every task of the file's alleles shares: its allele rows in order, mode, the
// criterion МП, the counts of alleles, tests and phenotypes, saved now; no name nor counts.
TaskRecord recordOf(const TaskState& task, InheritanceMode mode)
{
    TaskRecord record;
    record.mode = static_cast<int>(mode);
    record.criterion = static_cast<int>(FitCriterion::maximumLikelihood);
    record.alleleCount = task.alleleCount;
    record.testCount = task.testCount;
    record.phenotypeCount = task.phenotypeCount;
    const LocalDateTime now = currentDateTime();
    record.date = {now.year, now.month, now.day};
    record.time = savingTimeText(now.hour, now.minute);
    for (int k = 1; k <= task.alleleCount; ++k)
        record.alleleRows[static_cast<std::size_t>(k - 1)] = task.alleleNames[k].trimmed();
    return record;
}

// A name or label given on the command line as Windows-1251 text, trimmed; nothing (and the
// problem) when a character has no place there or it is longer than width.
std::optional<Cp1251Text> cp1251Argument(const std::string& utf8, const std::string& what,
                                         std::size_t width, std::string& problem)
{
    const EncodedText text = encodeCp1251(utf8);
    if (!text.ok()) {
        problem = "в параметре " + what + " символа «" + utf8Char(text.unencodable) +
                  "» нет в кодировке Windows-1251";
        return std::nullopt;
    }
    const Cp1251Text trimmed = text.text.trimmed();
    if (trimmed.size() > width) {
        problem = what + " длиннее " + std::to_string(width) + " знаков";
        return std::nullopt;
    }
    return trimmed;
}

int runImport(const WriteOptions& options, std::ostream& out, std::ostream& err)
{
    const ReadTask read = readTask(options.allelesFile);
    std::string problem = read.problem;
    const std::optional<Cp1251Text> system =
        problem.empty() ? cp1251Argument(options.system, "--system", labelWidth, problem)
                        : std::nullopt;
    if (!problem.empty()) {
        err << problem << "\n";
        return badInput;
    }
    WritableArchive archive(options.archiveFolder);
    const CountTableImport imported =
        importCountTable(archive.tables(), options.table, *read.task,
                         recordOf(*read.task, read.loaded.mode), *system);
    if (imported.problem) {
        err << options.table << ", " << tableProblemText(*imported.problem) << "\n";
        return badInput;
    }
    out << "в архив записано задач: " << imported.keys.size() << "\n";
    return 0;
}

int runSave(const WriteOptions& options, std::ostream& out, std::ostream& err)
{
    const ReadTask read = readTask(options.taskFile);
    std::string problem = read.problem;
    TaskRecord record;
    if (problem.empty()) {
        record = recordOf(*read.task, read.loaded.mode);
        for (std::size_t r = 0; r < read.loaded.countTexts.size(); ++r)
            if (!read.loaded.countTexts[r].empty())
                record.counts.push_back(
                    {static_cast<int>(r + 1),
                     static_cast<std::int32_t>(countValue(read.loaded.countTexts[r]))});
        const auto name = cp1251Argument(options.taskName, "--task", taskNameWidth, problem);
        const auto population =
            name ? cp1251Argument(options.population, "--population", labelWidth, problem)
                 : std::nullopt;
        const auto system = population
                                ? cp1251Argument(options.system, "--system", labelWidth, problem)
                                : std::nullopt;
        if (system) {
            record.name = *name;
            record.labels = {*population, *system};
        }
        if (problem.empty() && name->empty()) problem = "не указано название задачи --task";
    }
    if (!problem.empty()) {
        err << problem << "\n";
        return badInput;
    }
    WritableArchive archive(options.archiveFolder);
    const SaveResult saved = saveTask(archive.tables(), record);
    if (saved.outcome != SaveOutcome::saved) {
        err << "задача «" << options.taskName << "» уже есть в архиве " << options.archiveFolder
            << "\n";
        return badInput;
    }
    out << "задача «" << cp1251ToUtf8(record.name) << "» записана в архив\n";
    return 0;
}

} // namespace

bool archiveWriteRequested(const std::vector<std::string>& arguments)
{
    return std::any_of(arguments.begin(), arguments.end(),
                       [](const std::string& a) { return a == "--import" || a == "--save"; });
}

std::string archiveWriteUsage()
{
    return "velimor-calc --import TABLE --alleles TASKFILE --system NAME --archive FOLDER\n"
           "velimor-calc --save --archive FOLDER --task NAME [--population P] [--system S] "
           "TASKFILE";
}

int runArchiveWrite(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    std::string problem;
    const WriteOptions options = parseWriteOptions(arguments, problem);
    if (!problem.empty()) {
        err << problem << "\n" << archiveWriteUsage() << "\n";
        return badInput;
    }
    if (!std::filesystem::is_directory(options.archiveFolder)) {
        err << options.archiveFolder << ": нет папки архива\n";
        return badInput;
    }
    if (restoreUnfinished(options.archiveFolder)) {
        err << options.archiveFolder
            << ": восстановление архива из резервной копии было прервано; его закончит "
               "программа Велимор при запуске\n";
        return notWritten;
    }
    try {
        return options.import ? runImport(options, out, err) : runSave(options, out, err);
    } catch (const TableError& e) {
        err << options.archiveFolder << ": " << e.what() << "\n";
        return notWritten;
    }
}
