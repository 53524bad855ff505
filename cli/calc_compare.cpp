#include "cli/calc_compare.h"

#include "archive/archived_task.h"
#include "cli/calc_options.h"
#include "cli/calc_output.h"
#include "cli/calc_statistics.h"
#include "cli/forensic_json.h"
#include "cli/mode_arguments.h"
#include "cli/task_file.h"
#include "compare/comparison_files.h"
#include "compare/comparison_report.h"
#include "compare/comparison_workbook.h"
#include "compare/distance_files.h"
#include "export/workbook_file.h"

#include <algorithm>
#include <map>
#include <ostream>

namespace {

constexpr int badInput = 2;
constexpr int workbookNotWritten = 1;

struct CompareOptions
{
    std::string seedText;
    bool json = false;
    std::string workbookFile;
    std::string archiveFolder;
    std::vector<std::string> taskNames;
    std::vector<std::string> taskFiles;
    int replicates = 0;
    std::string distance = "nei";
    std::string phylipFile;
    std::string megaFile;
    std::string nexusFile;
};

const std::map<std::string, TreeDistance> distanceNames = {{"nei", TreeDistance::nei},
                                                           {"chord", TreeDistance::chord},
                                                           {"reynolds", TreeDistance::reynolds}};

// The options, or the problem (UTF-8) in problem.
CompareOptions parseCompareOptions(const std::vector<std::string>& arguments, std::string& problem)
{
    CompareOptions options;
    CLI::App app("velimor-calc --compare", "velimor-calc");
    app.set_help_flag();
    app.add_flag("--compare");
    app.add_option("--seed", options.seedText);
    app.add_flag("--json", options.json);
    app.add_option("--xlsx", options.workbookFile);
    app.add_option("--archive", options.archiveFolder);
    app.add_option("--task", options.taskNames)->allow_extra_args(false);
    std::string replicatesText;
    app.add_option("--replicates", replicatesText);
    app.add_option("--distance", options.distance);
    app.add_option("--phylip", options.phylipFile);
    app.add_option("--mega", options.megaFile);
    app.add_option("--nexus", options.nexusFile);
    app.add_option("FILE", options.taskFiles);
    if (const auto wrong =
            parseModeArguments(app, arguments, "у параметра сравнения не указано значение")) {
        problem = *wrong;
        return options;
    }
    const bool archive = !options.archiveFolder.empty();
    if (!replicatesText.empty()) {
        const std::optional<std::uint64_t> replicates = seedNumber(replicatesText);
        if (!replicates || *replicates < minimumReplicates || *replicates > maximumReplicates) {
            problem = "после --replicates ожидается целое число от 100 до 100000";
            return options;
        }
        options.replicates = static_cast<int>(*replicates);
    }
    if (!distanceNames.contains(options.distance))
        problem = "после --distance ожидается nei, chord или reynolds";
    else if (archive != !options.taskNames.empty())
        problem = "--archive FOLDER и --task NAME указываются вместе";
    else if (archive && !options.taskFiles.empty())
        problem = "с --archive файлы задач не указываются";
    else if (!archive && options.taskFiles.empty())
        problem = "не указаны задачи для сравнения";
    return options;
}

struct Loaded
{
    std::vector<PopulationSample> samples;
    std::string problem;
};

void addSample(Loaded& loaded, const std::string& name, const std::string& source,
               std::unique_ptr<TaskState> task, const CountedTask& read,
               const std::optional<TaskFileProblem>& problem)
{
    if (problem) {
        loaded.problem = taskFileProblemText(source, *problem);
        return;
    }
    std::optional<PopulationSample> sample = sampleOfLoadedTask(name, std::move(task), read);
    if (!sample)
        loaded.problem = source + ": численности задачи «" + name + "» не прочитаны";
    else
        loaded.samples.push_back(std::move(*sample));
}

Loaded loadSamples(const CompareOptions& options)
{
    Loaded loaded;
    for (const std::string& name : options.taskNames) {
        auto task = std::make_unique<TaskState>();
        const ArchivedTask archived = loadArchivedTask(options.archiveFolder, name, *task);
        std::optional<TaskFileProblem> problem;
        if (archived.problem) problem = TaskFileProblem{0, *archived.problem};
        addSample(loaded, name, options.archiveFolder, std::move(task), archived, problem);
        if (!loaded.problem.empty()) return loaded;
    }
    for (const std::string& file : options.taskFiles) {
        const std::optional<std::string> text = readTaskFile(file, loaded.problem);
        if (!text) return loaded;
        auto task = std::make_unique<TaskState>();
        const LoadedTask read = loadTaskFile(*text, *task);
        addSample(loaded, file, file, std::move(task), read, read.problem);
        if (!loaded.problem.empty()) return loaded;
    }
    return loaded;
}

} // namespace

void appendSection(std::string& text, const std::string& title, const TextTable& table)
{
    text += title;
    text += '\n';
    appendRows(text, table);
    text += '\n';
}

std::string comparisonText(const ComparisonReport& report, const ComparisonTables& tables)
{
    std::string text;
    appendSection(text, "[populations]", tables.frequencies);
    appendSection(text, "[homogeneity]", tables.homogeneity);
    appendSection(text, "[neiDistance]", tables.nei);
    appendSection(text, "[chordDistance]", tables.chord);
    appendSection(text, "[tree]", {{report.newick}});
    appendSection(text, "[diversity]", tables.diversity);
    appendSection(text, "[differentiation]", tables.differentiation);
    appendSection(text, "[reynoldsDistance]", tables.reynolds);
    appendSection(text, "[pairwiseTests]", tables.pairwiseTests);
    appendSection(text, "[neighborJoiningTree]", {tables.neighborJoiningTree[1]});
    return text;
}

ReportJson estimateJson(const PopulationEstimate& estimate)
{
    ReportJson errors = ReportJson::array();
    for (const AlleleError& error : estimate.errors)
        errors.push_back(error.gap == ErrorGap::none ? ReportJson(error.standardError)
                                                     : ReportJson(nullptr));
    return ReportJson{{"total", estimate.total},
                      {"alleleFrequencies", estimate.frequencies},
                      {"standardErrors", errors}};
}

ReportJson matrixJson(const DistanceMatrix& matrix)
{
    ReportJson rows = ReportJson::array();
    for (const auto& row : matrix) {
        ReportJson values = ReportJson::array();
        for (const double value : row)
            values.push_back(std::isfinite(value) ? ReportJson(value) : ReportJson(nullptr));
        rows.push_back(values);
    }
    return rows;
}

namespace {

ReportJson pairJson(const PairMatrix& matrix)
{
    ReportJson rows = ReportJson::array();
    for (const auto& row : matrix) {
        ReportJson values = ReportJson::array();
        for (const std::optional<double>& value : row)
            values.push_back(value ? ReportJson(*value) : ReportJson(nullptr));
        rows.push_back(values);
    }
    return rows;
}

ReportJson figureJson(const std::optional<double>& value,
                      const std::optional<DifferentiationIntervals>& intervals,
                      std::optional<Interval> DifferentiationIntervals::*interval)
{
    const std::optional<Interval> in =
        intervals ? (*intervals).*interval : std::optional<Interval>();
    return ReportJson{
        {"value", value ? ReportJson(*value) : ReportJson(nullptr)},
        {"interval", in ? ReportJson::array({in->first, in->second}) : ReportJson(nullptr)}};
}

ReportJson differentiationJson(const PopulationStructure& structure)
{
    const Differentiation& d = structure.differentiation;
    return ReportJson{
        {"gst", figureJson(d.gst, structure.intervals, &DifferentiationIntervals::gst)},
        {"gstPrime",
         figureJson(d.gstPrime, structure.intervals, &DifferentiationIntervals::gstPrime)},
        {"jostD", figureJson(d.jostD, structure.intervals, &DifferentiationIntervals::jostD)}};
}

} // namespace

ReportJson comparisonObject(const ComparisonReport& report)
{
    ReportJson populations = ReportJson::array();
    for (std::size_t s = 0; s < report.names.size(); ++s) {
        ReportJson entry{{"name", report.names[s]}};
        entry.update(estimateJson(report.comparison.populations[s]));
        entry["diversity"] = diversityJson(report.structure.diversity[s]);
        populations.push_back(entry);
    }
    const ReportJson document{
        {"alleles", report.alleleNames},
        {"populations", populations},
        {"pooled", estimateJson(report.comparison.pooled)},
        {"homogeneity", testJson("gSquare", report.comparison.homogeneity)},
        {"neiDistance", matrixJson(report.nei)},
        {"chordDistance", matrixJson(report.chord)},
        {"tree", report.newick},
        {"differentiation", differentiationJson(report.structure)},
        {"reynoldsDistance", matrixJson(report.structure.reynolds)},
        {"pairwiseTests",
         {{"probability", pairJson(report.structure.tests.probability)},
          {"holmAdjusted", pairJson(report.structure.tests.holmAdjusted)}}},
        {"neighborJoiningTree", report.neighborJoiningNewick.empty()
                                    ? ReportJson(nullptr)
                                    : ReportJson(report.neighborJoiningNewick)}};
    return document;
}

namespace {

std::string comparisonJson(const ComparisonReport& report)
{
    return reportJsonText(comparisonObject(report));
}

// The problem (UTF-8) when a file asked for is not written.
std::optional<std::string> writeDistanceFiles(const ComparisonReport& report,
                                              const CompareOptions& options)
{
    const std::pair<const std::string*, DistanceFormat> files[] = {
        {&options.phylipFile, DistanceFormat::phylip},
        {&options.megaFile, DistanceFormat::mega},
        {&options.nexusFile, DistanceFormat::nexus}};
    for (const auto& [path, format] : files) {
        if (path->empty()) continue;
        const std::optional<std::string> text = distanceFileText(report, format);
        if (!text) return infiniteDistanceMessage(*path);
        const WorkbookFileResult written = saveDistanceFile(*path, *text);
        if (!written.ok()) return distanceFileFailureMessage(written);
    }
    return std::nullopt;
}

} // namespace

bool comparisonRequested(const std::vector<std::string>& arguments)
{
    return std::find(arguments.begin(), arguments.end(), "--compare") != arguments.end();
}

int runCompareCalculator(const std::vector<std::string>& arguments, std::ostream& out,
                         std::ostream& err)
{
    std::string problem;
    const CompareOptions options = parseCompareOptions(arguments, problem);
    std::optional<std::uint64_t> seed;
    if (problem.empty() && !options.seedText.empty() && !(seed = seedNumber(options.seedText)))
        problem = "после --seed ожидается целое неотрицательное число";
    if (!problem.empty()) {
        err << problem << "\n" << compareUsage() << "\n";
        return badInput;
    }
    seedGenerator(seed);
    Loaded loaded = loadSamples(options);
    if (loaded.problem.empty())
        if (const auto mismatch = comparisonMismatch(loaded.samples)) loaded.problem = *mismatch;
    if (!loaded.problem.empty()) {
        err << loaded.problem << "\n";
        return badInput;
    }
    StructureSettings structure;
    structure.distance = distanceNames.at(options.distance);
    structure.replicates = options.replicates;
    const ComparisonReport report = compareSamples(loaded.samples, {}, structure);
    const ComparisonTables tables = comparisonTables(report);
    out << (options.json ? comparisonJson(report) : comparisonText(report, tables));
    if (!options.workbookFile.empty()) {
        const WorkbookFileResult written = writeComparisonWorkbook(tables, options.workbookFile);
        if (!written.ok()) {
            err << workbookFailureMessage(written) << "\n";
            return workbookNotWritten;
        }
    }
    if (const std::optional<std::string> problem = writeDistanceFiles(report, options)) {
        err << *problem << "\n";
        return workbookNotWritten;
    }
    return 0;
}
