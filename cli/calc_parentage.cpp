#include "cli/calc_parentage.h"

#include "cli/calc_options.h"
#include "cli/calc_output.h"
#include "cli/mode_arguments.h"
#include "cli/task_file.h"
#include "compare/parentage_check.h"
#include "estimate/calculation_run.h"
#include "task/statement_lines.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <ostream>

namespace {

constexpr int badInput = 2;

struct ParentageOptions
{
    std::string caseFile;
    std::string seedText;
    bool json = false;
};

ParentageOptions parseParentageOptions(const std::vector<std::string>& arguments,
                                       std::string& problem)
{
    ParentageOptions options;
    CLI::App app("velimor-calc --parentage", "velimor-calc");
    app.set_help_flag();
    app.add_option("--parentage", options.caseFile);
    app.add_option("--seed", options.seedText);
    app.add_flag("--json", options.json);
    if (const auto wrong =
            parseModeArguments(app, arguments, "после --parentage ожидается файл дела"))
        problem = *wrong;
    if (problem.empty() && options.caseFile.empty()) problem = "не указан файл дела";
    return options;
}

// One system's block: its task, calculated, and the phenotypes read so far.
struct Block
{
    int line = 0; // of the "system" statement
    std::string name;
    std::unique_ptr<TaskState> task;
    std::vector<long double> frequencies; // maximum likelihood, allele 1 first
    std::optional<int> mother;
    std::optional<int> child;
    std::optional<int> father;
    int motherLine = 0;
};

struct CaseProblem
{
    int line = 0;
    std::string message;
};

// Reads and calculates the task file of a "system" statement; the problem is returned.
std::optional<std::string> openSystem(const std::filesystem::path& folder, const std::string& path,
                                      Block& block)
{
    const std::string file = (folder / path).string();
    std::string problem;
    const std::optional<std::string> text = readTaskFile(file, problem);
    if (!text) return problem;
    block.task = std::make_unique<TaskState>();
    const LoadedTask loaded = loadTaskFile(*text, *block.task);
    if (loaded.problem) return taskFileProblemText(path, *loaded.problem);
    const CalculationResult result = runCalculation(
        *block.task, loaded.countTexts, loaded.totalText, FitCriterion::maximumLikelihood);
    if (!result.completed()) return path + ": " + result.failure;
    block.name = path;
    block.frequencies = result.estimates[0].alleleFrequencies;
    return std::nullopt;
}

// A block ends: a child and a father are needed, and a mother who can have the child.
std::optional<CaseProblem> closeBlock(const Block& block, std::vector<SystemCheck>& systems)
{
    if (!block.child || !block.father)
        return CaseProblem{block.line, "в блоке системы «" + block.name + "» нет строки " +
                                           (block.child ? "father" : "child")};
    const CasePhenotypes phenotypes{block.mother, *block.child, *block.father};
    SystemCheck check = checkSystem(block.name, *block.task, block.frequencies, phenotypes);
    if (check.verdict.motherIncompatible)
        return CaseProblem{block.motherLine,
                           motherMismatchMessage(block.name, *block.task, phenotypes)};
    systems.push_back(std::move(check));
    return std::nullopt;
}

std::optional<CaseProblem> readCase(std::string_view text, const std::filesystem::path& folder,
                                    std::vector<SystemCheck>& systems)
{
    std::optional<Block> block;
    for (const auto& [line, tokens] : statementLines(text)) {
        const std::string& keyword = tokens[0];
        std::string tests;
        for (std::size_t i = 1; i < tokens.size(); ++i)
            tests += (i > 1 ? " " : "") + tokens[i];
        if (keyword == "system") {
            if (block)
                if (auto problem = closeBlock(*block, systems)) return problem;
            if (tokens.size() != 2) return CaseProblem{line, "после system ожидается файл задачи"};
            block.emplace();
            block->line = line;
            if (auto problem = openSystem(folder, tokens[1], *block))
                return CaseProblem{line, *problem};
            continue;
        }
        if (keyword != "mother" && keyword != "child" && keyword != "father")
            return CaseProblem{line, "непонятная строка: " + keyword};
        if (!block) return CaseProblem{line, "строка " + keyword + " до строки system"};
        std::optional<int>& phenotype = keyword == "mother"  ? block->mother
                                        : keyword == "child" ? block->child
                                                             : block->father;
        if (phenotype) return CaseProblem{line, "строка " + keyword + " уже указана в блоке"};
        if (tests.empty()) return CaseProblem{line, "после " + keyword + " нет ни одного теста"};
        phenotype = typedPhenotype(*block->task, tests);
        if (!phenotype) return CaseProblem{line, unknownPhenotypeMessage(block->name, tests)};
        if (keyword == "mother") block->motherLine = line;
    }
    if (!block) return CaseProblem{0, "в файле нет ни одной строки system"};
    return closeBlock(*block, systems);
}

ReportJson optionalJson(const std::optional<double>& x)
{
    return x ? ReportJson(*x) : ReportJson(nullptr);
}

std::string caseJson(const std::vector<SystemCheck>& systems, const CaseVerdict& verdict)
{
    ReportJson list = ReportJson::array();
    for (const SystemCheck& s : systems)
        list.push_back(ReportJson{{"task", s.name},
                                  {"excluded", s.verdict.excluded},
                                  {"paternityIndex", optionalJson(s.verdict.paternityIndex)},
                                  {"exclusionTrio", s.figures.exclusionTrio},
                                  {"exclusionDuo", s.figures.exclusionDuo}});
    return reportJsonText(
        ReportJson{{"systems", list},
                   {"excluded", verdict.excluded},
                   {"combinedPaternityIndex", optionalJson(verdict.combinedIndex)},
                   {"probabilityOfPaternity", optionalJson(verdict.probabilityOfPaternity)}});
}

std::string caseText(const std::vector<SystemCheck>& systems, const CaseVerdict& verdict)
{
    std::string text = "[parentage]\n";
    appendRows(text, systemsTable(systems));
    text += "\n[verdict]\n";
    appendRows(text, verdictTable(verdict));
    return text + "\n";
}

} // namespace

bool parentageRequested(const std::vector<std::string>& arguments)
{
    return std::any_of(arguments.begin(), arguments.end(), [](const std::string& argument) {
        return argument == "--parentage" || argument.starts_with("--parentage=");
    });
}

std::string parentageUsage()
{
    return "velimor-calc --parentage CASEFILE [--seed N] [--json]";
}

int runParentageCalculator(const std::vector<std::string>& arguments, std::ostream& out,
                           std::ostream& err)
{
    std::string problem;
    const ParentageOptions options = parseParentageOptions(arguments, problem);
    std::optional<std::uint64_t> seed;
    if (problem.empty() && !options.seedText.empty() && !(seed = seedNumber(options.seedText)))
        problem = "после --seed ожидается целое неотрицательное число";
    if (!problem.empty()) {
        err << problem << "\n" << parentageUsage() << "\n";
        return badInput;
    }
    std::string unread;
    const std::optional<std::string> text = readTaskFile(options.caseFile, unread);
    if (!text) {
        err << options.caseFile << ": не удается открыть файл дела\n";
        return badInput;
    }
    seedGenerator(seed);
    std::vector<SystemCheck> systems;
    const auto folder = std::filesystem::path(options.caseFile).parent_path();
    if (const auto wrong = readCase(*text, folder, systems)) {
        err << taskFileProblemText(options.caseFile, {wrong->line, wrong->message}) << "\n";
        return badInput;
    }
    std::vector<SystemVerdict> verdicts;
    for (const SystemCheck& s : systems)
        verdicts.push_back(s.verdict);
    const CaseVerdict verdict = combineSystems(verdicts);
    out << (options.json ? caseJson(systems, verdict) : caseText(systems, verdict));
    return 0;
}
