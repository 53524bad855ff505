#include "cli/calc_options.h"

#include "cli/archive_write.h"
#include "cli/calc_forensic.h"
#include "cli/calc_output.h"
#include "cli/calc_parentage.h"
#include "cli/calc_statistics.h"
#include "cli/calc_study.h"
#include "cli/task_file.h"
#include "estimate/calculation_run.h"
#include "export/report_workbook.h"
#include "export/statistics_workbook.h"
#include "export/workbook_file.h"
#include "platform/random.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <functional>
#include <map>
#include <memory>
#include <ostream>

namespace {

constexpr int badInput = 2;
constexpr int workbookNotWritten = 1;

// A whole decimal number, digits only: CLI11 reads integers with strtoull's base 0, which takes
// "010" as octal, "0x10" as hexadecimal and wraps "-1" round to 2^64 − 1.
template <typename Number> std::optional<Number> number(const std::string& text)
{
    Number value{};
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

// The help text opens with the usage lines, the comparison's included, instead of CLI11's
// generic one.
class CalcHelpFormatter : public CLI::Formatter
{
public:
    std::string make_usage(const CLI::App*, std::string) const override
    {
        return calcUsage() + "\n" + compareUsage() + "\n" + studyUsage() + "\n" +
               archiveWriteUsage() + "\n" + parentageUsage() + "\n";
    }
};

// The command line as CLI11 reads it. Each option is taken the moment it is read and reading
// stops at the first argument that is neither an option nor the task file, so the problem named
// is the first one on the line.
class CalcCommandLine
{
public:
    explicit CalcCommandLine(CalcOptions& options)
        : app("Частоты аллелей одного локуса по численностям фенотипов: расчет окна контроля "
              "«Начать расчет» без окон.",
              "velimor-calc")
    {
        app.formatter(std::make_shared<CalcHelpFormatter>());
        app.get_formatter()->label("Positionals", "Файл задачи");
        app.option_defaults()->group("Параметры");
        app.footer("С --compare сравниваются задачи одного локуса: файлы задач FILE FILE... или "
                   "задачи архива (--archive FOLDER и --task NAME для каждой); --seed, --json и "
                   "--xlsx FILE (книга сравнения) действуют так же. Разделы вывода: "
                   "[populations], [homogeneity], [neiDistance], [chordDistance], [tree], "
                   "[diversity], [differentiation], [reynoldsDistance], [pairwiseTests], "
                   "[neighborJoiningTree]. --replicates B (от 100 до 100000) добавляет "
                   "бутстреп-интервалы дифференциации и поддержку ветвей обоих деревьев; "
                   "--distance nei|chord|reynolds - расстояние деревьев и файлов (по умолчанию "
                   "nei); --phylip, --mega и --nexus FILE записывают матрицу этого расстояния "
                   "(NEXUS - и оба дерева) для других программ.\n\n"
                   "С --compare и --population P (не меньше двух) по архиву --archive FOLDER "
                   "сравниваются популяции по всем общим системам (по меткам задач); "
                   "--replicates B дает поддержку ветвей деревьев.\n\n"
                   "--import TABLE записывает в архив таблицу численностей (CSV, TSV, xlsx, "
                   "ods) системы --system NAME с аллелями файла задачи --alleles TASKFILE: "
                   "все популяции или, при ошибке, ничего; --save записывает файл задачи "
                   "задачей архива --task NAME с метками --population и --system.\n\n"
                   "С --parentage CASEFILE проверяется отцовство по одной или нескольким "
                   "системам: в файле дела строки system PATH (файл задачи системы), mother "
                   "(необязательно), child и father с тестами фенотипов через пробел, «-» - нет "
                   "реакции. Разделы вывода: [parentage], [verdict]; --seed и --json действуют "
                   "так же.\n\n"
                   "Код возврата: 0 - расчет выполнен, 2 - неверные входные данные, 1 - книгу "
                   "результатов (или файл расстояний) записать не удалось.");
        app.prefix_command();
        app.set_help_flag("--help", "эта справка");
        app.set_version_flag("--version", "velimor-calc " VELIMOR_VERSION, "версия программы");
        taskFile =
            app.add_option("TASKFILE", options.taskFile, "файл задачи; «-» - стандартный ввод")
                ->type_name("");
        valueOption(
            "--seed", "N", "начальное значение генератора случайных чисел (без него - от часов)",
            "после --seed ожидается целое неотрицательное число", [&](const std::string& text) {
                options.seed = seedNumber(text);
                return options.seed.has_value();
            });
        valueOption("--criterion", "1|2|3", "критерий окна контроля: 1 МП, 2 МНК, 3 МННК",
                    "после --criterion ожидается 1, 2 или 3", [&](const std::string& text) {
                        const auto criterion = number<int>(text);
                        if (!criterion || *criterion < 1 || *criterion > 3) return false;
                        options.criterion = *criterion;
                        options.criterionGiven = true;
                        return true;
                    });
        app.add_flag("--json", options.json, "числа без округления одним объектом JSON")
            ->trigger_on_parse();
        app.add_flag("--stats", options.stats,
                     "добавить статистику: стандартные ошибки и интервалы частот, критерии "
                     "согласия, p Монте-Карло, остатки")
            ->trigger_on_parse();
        app.add_flag("--forensic", options.forensic,
                     "добавить показатели родства и идентификации и генное разнообразие (с "
                     "--stats - и их интервалы)")
            ->trigger_on_parse();
        valueOption("--replicates", "B",
                    "число повторений бутстрепа и метода Монте-Карло для --stats (от 100 до "
                    "100000, по умолчанию 1000)",
                    "после --replicates ожидается целое число от 100 до 100000",
                    [&](const std::string& text) {
                        const auto replicates = number<int>(text);
                        if (!replicates || *replicates < minimumReplicates ||
                            *replicates > maximumReplicates)
                            return false;
                        options.replicates = *replicates;
                        replicatesGiven = true;
                        return true;
                    });
        valueOption("--xlsx", "FILE",
                    "также записать книгу результатов в файл FILE (с --stats - книгу статистики)",
                    "после --xlsx ожидается имя файла", nonEmpty(options.workbookFile));
        valueOption("--archive", "FOLDER", "задача из таблиц архива в папке FOLDER",
                    "после --archive ожидается папка", nonEmpty(options.archiveFolder));
        valueOption("--task", "NAME", "наименование задачи в архиве",
                    "после --task ожидается наименование задачи", nonEmpty(options.taskName));
    }

    CLI::App app;
    CLI::Option* taskFile = nullptr;
    bool replicatesGiven = false;                // --replicates was read
    std::map<std::string, std::string> problems; // option name → its problem

private:
    // An option taking one value. take stores a sound value in the options and returns
    // false for an unfit one; an unfit or missing value is the option's problem.
    void valueOption(const std::string& name, const char* valueName, const char* description,
                     const std::string& problem, std::function<bool(const std::string&)> take)
    {
        problems.emplace(name, problem);
        app.add_option_function<std::string>(
               name,
               [take, problem](const std::string& value) {
                   if (!take(value)) throw CLI::ValidationError(problem);
               },
               description)
            ->type_name(valueName)
            ->trigger_on_parse();
    }

    // Takes any value but an empty one into target.
    static std::function<bool(const std::string&)> nonEmpty(std::string& target)
    {
        return [&target](const std::string& value) {
            target = value;
            return !value.empty();
        };
    }
};

// An argument that reads as an option: CLI11 takes one it does not know, such as "-5", for the
// task file or leaves it unread.
bool optionLike(const std::string& argument)
{
    return argument.size() > 1 && argument[0] == '-';
}

} // namespace

std::string calcUsage()
{
    return "velimor-calc [--seed N] [--criterion 1|2|3] [--json] [--xlsx FILE] TASKFILE\n"
           "velimor-calc [--seed N] [--criterion 1|2|3] [--json] [--xlsx FILE] --archive FOLDER "
           "--task NAME";
}

std::string compareUsage()
{
    return "velimor-calc --compare [--seed N] [--json] [--xlsx FILE] [--replicates B] "
           "[--distance nei|chord|reynolds] [--phylip FILE] [--mega FILE] [--nexus FILE] "
           "FILE FILE...\n"
           "velimor-calc --compare [--seed N] [--json] [--xlsx FILE] [--replicates B] "
           "[--distance nei|chord|reynolds] [--phylip FILE] [--mega FILE] [--nexus FILE] "
           "--archive FOLDER --task NAME --task NAME...";
}

ParsedOptions parseCalcOptions(const std::vector<std::string>& arguments)
{
    ParsedOptions parsed;
    CalcOptions& options = parsed.options;
    CalcCommandLine line(options);
    // CLI11 takes the arguments from the back of the vector as it reads them, so what is left
    // in it tells where reading stopped.
    std::vector<std::string> unreadTail(arguments.rbegin(), arguments.rend());
    try {
        line.app.parse(unreadTail);
    } catch (const CLI::CallForHelp&) {
        parsed.information = line.app.help();
        return parsed;
    } catch (const CLI::CallForVersion& version) {
        parsed.information = std::string(version.what()) + "\n";
        return parsed;
    } catch (const CLI::ValidationError& unfit) {
        parsed.problem = unfit.what();
    } catch (const CLI::ParseError&) {
        // The argument read last: an option whose value is missing, or a flag given a value.
        const std::string& argument = arguments[arguments.size() - unreadTail.size() - 1];
        const auto known = line.problems.find(argument.substr(0, argument.find('=')));
        parsed.problem =
            known != line.problems.end() ? known->second : "неизвестный параметр " + argument;
    }
    // An argument CLI11 left unread stands before the one it stopped at: an option it does not
    // know, or a second task file.
    const std::vector<std::string> unread = line.app.remaining();
    if (!unread.empty())
        parsed.problem = optionLike(unread.front()) ? "неизвестный параметр " + unread.front()
                                                    : "указано больше одного файла задачи";
    if (!parsed.problem.empty()) return parsed;
    if (line.replicatesGiven && !options.stats) {
        parsed.problem = "--replicates указывается только с --stats";
        return parsed;
    }

    const bool haveFile = line.taskFile->count() > 0;
    if (!options.archiveFolder.empty()) {
        if (haveFile)
            parsed.problem = "с --archive файл задачи не указывается";
        else if (options.taskName.empty())
            parsed.problem = "с --archive нужно указать --task NAME";
    } else if (!options.taskName.empty()) {
        parsed.problem = "--task указывается только с --archive";
    } else if (!haveFile) {
        parsed.problem = "не указан файл задачи";
    } else if (optionLike(options.taskFile)) {
        parsed.problem = "неизвестный параметр " + options.taskFile;
    }
    return parsed;
}

std::optional<std::uint64_t> seedNumber(const std::string& text)
{
    return number<std::uint64_t>(text);
}

void seedGenerator(const std::optional<std::uint64_t>& seed)
{
    if (seed)
        seedRandom(*seed);
    else
        seedRandomFromClock();
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
                        const CountedTask& loaded, std::ostream& out, std::ostream& err)
{
    seedGenerator(options.seed);
    const CalculationResult result = runCalculation(task, loaded.countTexts, loaded.totalText,
                                                    static_cast<FitCriterion>(options.criterion));
    if (!result.completed()) {
        err << source << ": " << result.failure << "\n";
        return badInput;
    }
    const ReportTables tables = reportTables(task, result, loaded.countTexts);
    std::optional<CalcStatistics> statistics;
    if (options.stats)
        statistics = calculateStatistics(task, result, options.replicates,
                                         options.progressOnTerminal ? &err : nullptr);
    std::optional<CalcForensic> forensic;
    if (options.forensic)
        forensic = calculateForensic(task, result,
                                     statistics ? std::optional(options.replicates) : std::nullopt,
                                     options.progressOnTerminal ? &err : nullptr);
    if (options.json) {
        ReportJson report = reportDocument(task, result);
        if (statistics) report["statistics"] = statisticsJson(*statistics);
        if (forensic) addForensicJson(report, *forensic);
        out << reportJsonText(report);
    } else {
        out << reportText(tables);
        if (statistics) out << statisticsText(task, *statistics);
        if (forensic) out << forensicText(*forensic);
    }
    if (!options.workbookFile.empty()) {
        // With --stats the workbook is the statistics one, named after the archived task or
        // the task file.
        std::vector<TextSheet> sheets;
        if (statistics) {
            sheets = statisticsSheets(options.archiveFolder.empty() ? source : options.taskName,
                                      task, statistics->immediate, &statistics->replicates);
            if (forensic) sheets.push_back(forensicWorkbookSheet(*forensic));
        }
        const WorkbookFileResult written =
            statistics ? writeStatisticsWorkbook(sheets, options.workbookFile)
                       : writeResultsWorkbook(resultTextsOf(tables), options.workbookFile);
        if (!written.ok()) {
            err << workbookFailureMessage(written) << "\n";
            return workbookNotWritten;
        }
    }
    return 0;
}
