#include "cli/calc_study.h"

#include "archive/backup_restore.h"
#include "cli/calc_compare.h"
#include "cli/calc_options.h"
#include "cli/calc_statistics.h"
#include "cli/forensic_json.h"
#include "cli/mode_arguments.h"
#include "compare/study_workbook.h"
#include "platform/cp1251.h"
#include "platform/random.h"
#include "tables/archive_schema.h"
#include "tables/table_error.h"
#include "tables/table_file.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace {

constexpr int badInput = 2;
constexpr int workbookNotWritten = 1;

struct StudyOptions
{
    std::string seedText;
    bool json = false;
    std::string workbookFile;
    std::string archiveFolder;
    std::vector<std::string> populations;
    std::string replicatesText;
};

StudyOptions parseStudyOptions(const std::vector<std::string>& arguments, std::string& problem)
{
    StudyOptions options;
    CLI::App app("velimor-calc --compare --population", "velimor-calc");
    app.set_help_flag();
    app.add_flag("--compare");
    app.add_option("--seed", options.seedText);
    app.add_flag("--json", options.json);
    app.add_option("--xlsx", options.workbookFile);
    app.add_option("--archive", options.archiveFolder);
    app.add_option("--population", options.populations)->allow_extra_args(false);
    app.add_option("--replicates", options.replicatesText);
    if (const auto wrong =
            parseModeArguments(app, arguments, "у параметра сравнения не указано значение")) {
        problem = *wrong;
        return options;
    }
    if (options.archiveFolder.empty())
        problem = "популяции (--population) сравниваются по архиву: укажите --archive FOLDER";
    return options;
}

struct Study
{
    PopulationStudy study;
    std::string problem;
};

Study studyOfArchive(const StudyOptions& options, const StudySettings& settings)
{
    Study result;
    const auto path = [&](const char* file) {
        return (std::filesystem::path(options.archiveFolder) / file).string();
    };
    for (const char* file : {"SPISOK.DBF", "ALLEL.DBF", "FENOTIP.DBF", "METKI.DBF"})
        if (!std::filesystem::exists(resolveFileName(path(file)))) {
            result.problem = options.archiveFolder + ": нет таблицы архива " + file;
            return result;
        }
    std::vector<Cp1251Text> populations;
    for (const std::string& population : options.populations) {
        const EncodedText text = encodeCp1251(population);
        if (!text.ok()) {
            result.problem = "популяции «" + population + "» в архиве нет";
            return result;
        }
        populations.push_back(text.text);
    }
    try {
        // Read only, beside the program if it runs, as a task of the archive is read.
        Table spisok(path("SPISOK.DBF"), spisokSchema());
        Table allel(path("ALLEL.DBF"), allelSchema());
        Table fenotip(path("FENOTIP.DBF"), fenotipSchema());
        Table labels(path("METKI.DBF"), labelSchema());
        for (Table* table : {&spisok, &allel, &fenotip, &labels})
            table->openForReading();
        if (restoreUnfinished(options.archiveFolder)) {
            result.problem = options.archiveFolder +
                             ": восстановление архива из резервной копии было прервано; его "
                             "закончит программа Велимор при запуске";
            return result;
        }
        StudySamples samples = studySamples({spisok, allel, fenotip, &labels}, populations);
        if (samples.problem) {
            result.problem = options.archiveFolder + ": " + *samples.problem;
            return result;
        }
        result.study = studyPopulations(samples.samples, populations, settings);
        if (result.study.problem) result.problem = *result.study.problem;
    } catch (const TableError& e) {
        result.problem = options.archiveFolder + ": " + e.what();
    }
    return result;
}

// The Newick text, each inner branch labelled with its support when replicates were drawn;
// null for a tree that could not be built.
ReportJson treeJson(const std::optional<StudyTree>& tree)
{
    return tree ? ReportJson(tree->newick) : ReportJson(nullptr);
}

std::string studyJson(const PopulationStudy& study)
{
    ReportJson systems = ReportJson::array();
    for (const StudySystem& system : study.systems) {
        ReportJson entry{{"system", cp1251ToUtf8(system.shared.system.trimmed())}};
        entry.update(comparisonObject(system.report));
        ReportJson& populations = entry["populations"];
        for (std::size_t i = 0; i < populations.size(); ++i) {
            populations[i]["forensic"] = forensicJson(system.figures[i].forensic, nullptr);
            populations[i]["diversity"] = diversityJson(system.figures[i].diversity);
        }
        systems.push_back(entry);
    }
    ReportJson forensic = ReportJson::array();
    for (std::size_t i = 0; i < study.populations.size(); ++i) {
        const CombinedForensic& f = study.combined.forensic[i];
        forensic.push_back({{"population", study.populations[i]},
                            {"combinedExclusionTrio", f.exclusionTrio},
                            {"combinedExclusionDuo", f.exclusionDuo},
                            {"combinedMatchProbability", f.matchProbability}});
    }
    const ReportJson combined{{"populations", study.populations},
                              {"neiDistance", matrixJson(study.combined.neiDistance)},
                              {"homogeneity", testJson("gSquare", study.combined.homogeneity)},
                              {"tree", treeJson(study.upgma)},
                              {"neighborJoiningTree", treeJson(study.neighborJoining)},
                              {"forensic", forensic}};
    return reportJsonText(ReportJson{{"systems", systems}, {"combined", combined}});
}

std::string studyText(const PopulationStudy& study, const StudyTables& tables)
{
    std::string text;
    for (std::size_t s = 0; s < tables.systems.size(); ++s) {
        const StudySystemTables& system = tables.systems[s];
        text += "[system]\n" + system.system + "\n\n";
        text += comparisonText(study.systems[s].report, system.comparison);
        appendSection(text, "[forensic]", system.forensic);
    }
    appendSection(text, "[combinedNeiDistance]", tables.neiDistance);
    appendSection(text, "[combinedHomogeneity]", tables.homogeneity);
    appendSection(text, "[combinedTrees]", tables.trees);
    appendSection(text, "[combinedForensic]", tables.forensic);
    return text;
}

} // namespace

bool studyRequested(const std::vector<std::string>& arguments)
{
    return comparisonRequested(arguments) &&
           std::find(arguments.begin(), arguments.end(), "--population") != arguments.end();
}

std::string studyUsage()
{
    return "velimor-calc --compare [--seed N] [--json] [--xlsx FILE] [--replicates B] --archive "
           "FOLDER --population P --population P...";
}

int runStudyCalculator(const std::vector<std::string>& arguments, std::ostream& out,
                       std::ostream& err)
{
    std::string problem;
    const StudyOptions options = parseStudyOptions(arguments, problem);
    std::optional<std::uint64_t> seed;
    if (problem.empty() && !options.seedText.empty() && !(seed = seedNumber(options.seedText)))
        problem = "после --seed ожидается целое неотрицательное число";
    StudySettings settings;
    if (problem.empty() && !options.replicatesText.empty()) {
        const std::optional<std::uint64_t> replicates = seedNumber(options.replicatesText);
        if (!replicates || *replicates < minimumReplicates || *replicates > maximumReplicates)
            problem = "после --replicates ожидается целое число от " +
                      std::to_string(minimumReplicates) + " до " +
                      std::to_string(maximumReplicates);
        else
            settings.replicates = static_cast<int>(*replicates);
    }
    if (!problem.empty()) {
        err << problem << "\n" << studyUsage() << "\n";
        return badInput;
    }
    seedGenerator(seed);
    // The replicates' streams derive from the generator, so --seed repeats them too.
    settings.seed = static_cast<std::uint64_t>(randomUniform() * 0x1p53);
    const Study study = studyOfArchive(options, settings);
    if (!study.problem.empty()) {
        err << study.problem << "\n";
        return badInput;
    }
    const StudyTables tables = studyTables(study.study);
    out << (options.json ? studyJson(study.study) : studyText(study.study, tables));
    if (!options.workbookFile.empty()) {
        const WorkbookFileResult written = writeStudyWorkbook(tables, options.workbookFile);
        if (!written.ok()) {
            err << workbookFailureMessage(written) << "\n";
            return workbookNotWritten;
        }
    }
    return 0;
}
