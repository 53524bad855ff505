#include "estimate/calc_options.h"

#include "estimate/calc_output.h"
#include "estimate/calc_statistics.h"
#include "estimate/calculation_run.h"
#include "estimate/task_file.h"
#include "export/report_workbook.h"
#include "export/workbook_file.h"
#include "platform/random.h"

#include <charconv>
#include <memory>
#include <ostream>

namespace {

constexpr int badInput = 2;
constexpr int workbookNotWritten = 1;

template <typename Number> std::optional<Number> number(const std::string& text)
{
    Number value{};
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

} // namespace

std::string calcUsage()
{
    return "velimor-calc [--seed N] [--criterion 1|2|3] [--json] [--xlsx FILE] TASKFILE\n"
           "velimor-calc [--seed N] [--criterion 1|2|3] [--json] [--xlsx FILE] --archive FOLDER "
           "--task NAME";
}

ParsedOptions parseCalcOptions(const std::vector<std::string>& arguments)
{
    ParsedOptions parsed;
    CalcOptions& options = parsed.options;
    bool haveFile = false;
    bool replicatesGiven = false;
    for (std::size_t i = 0; i < arguments.size() && parsed.problem.empty(); ++i) {
        const std::string& argument = arguments[i];
        // The value of an option that takes one, or an empty text when it is missing.
        const auto value = [&]() -> std::string {
            return i + 1 < arguments.size() ? arguments[++i] : std::string();
        };
        if (argument == "--seed") {
            const auto seed = number<std::uint64_t>(value());
            if (seed)
                options.seed = seed;
            else
                parsed.problem = "после --seed ожидается целое неотрицательное число";
        } else if (argument == "--criterion") {
            const auto criterion = number<int>(value());
            if (criterion && *criterion >= 1 && *criterion <= 3) {
                options.criterion = *criterion;
                options.criterionGiven = true;
            } else
                parsed.problem = "после --criterion ожидается 1, 2 или 3";
        } else if (argument == "--stats") {
            options.stats = true;
        } else if (argument == "--replicates") {
            const auto replicates = number<int>(value());
            replicatesGiven = true;
            if (replicates && *replicates >= minimumReplicates && *replicates <= maximumReplicates)
                options.replicates = *replicates;
            else
                parsed.problem = "после --replicates ожидается целое число от 100 до 100000";
        } else if (argument == "--json") {
            options.json = true;
        } else if (argument == "--archive") {
            options.archiveFolder = value();
            if (options.archiveFolder.empty()) parsed.problem = "после --archive ожидается папка";
        } else if (argument == "--xlsx") {
            options.workbookFile = value();
            if (options.workbookFile.empty()) parsed.problem = "после --xlsx ожидается имя файла";
        } else if (argument == "--task") {
            options.taskName = value();
            if (options.taskName.empty())
                parsed.problem = "после --task ожидается наименование задачи";
        } else if (argument.size() > 1 && argument[0] == '-' && argument != "-") {
            parsed.problem = "неизвестный параметр " + argument;
        } else if (haveFile) {
            parsed.problem = "указано больше одного файла задачи";
        } else {
            options.taskFile = argument;
            haveFile = true;
        }
    }
    if (!parsed.problem.empty()) return parsed;
    if (replicatesGiven && !options.stats) {
        parsed.problem = "--replicates указывается только с --stats";
        return parsed;
    }
    if (!options.archiveFolder.empty()) {
        if (haveFile)
            parsed.problem = "с --archive файл задачи не указывается";
        else if (options.taskName.empty())
            parsed.problem = "с --archive нужно указать --task NAME";
    } else if (!options.taskName.empty()) {
        parsed.problem = "--task указывается только с --archive";
    } else if (!haveFile) {
        parsed.problem = "не указан файл задачи";
    }
    return parsed;
}

int runCalculator(const CalcOptions& options, std::string_view taskText, std::ostream& out,
                  std::ostream& err)
{
    const std::string fileName = options.taskFile == "-" ? "stdin" : options.taskFile;
    const auto task = std::make_unique<TaskState>();
    const LoadedTask loaded = loadTaskFile(taskText, *task);
    if (loaded.problem) {
        err << taskFileProblemText(fileName, *loaded.problem) << "\n";
        return badInput;
    }
    return calculateLoadedTask(options, fileName, *task, loaded, out, err);
}

int calculateLoadedTask(const CalcOptions& options, const std::string& source, TaskState& task,
                        const LoadedTask& loaded, std::ostream& out, std::ostream& err)
{
    if (options.seed)
        seedRandom(*options.seed);
    else
        seedRandomFromClock();
    const CalculationResult result = runCalculation(task, loaded.countTexts, loaded.totalText,
                                                    static_cast<FitCriterion>(options.criterion));
    if (!result.completed()) {
        err << source << ": " << result.failure << "\n";
        return badInput;
    }
    if (options.stats) {
        const CalcStatistics statistics = calculateStatistics(
            task, result, options.replicates, options.progressOnTerminal ? &err : nullptr);
        if (options.json)
            out << reportJsonWithStatistics(reportJson(task, result), statistics);
        else
            out << reportText(reportTables(task, result, loaded.countTexts))
                << statisticsText(task, statistics);
    } else if (options.json) {
        out << reportJson(task, result);
    } else {
        out << reportText(reportTables(task, result, loaded.countTexts));
    }
    if (!options.workbookFile.empty()) {
        const WorkbookFileResult written = writeResultsWorkbook(
            resultTextsOf(reportTables(task, result, loaded.countTexts)), options.workbookFile);
        if (!written.ok()) {
            err << workbookFailureMessage(written) << "\n";
            return workbookNotWritten;
        }
    }
    return 0;
}
