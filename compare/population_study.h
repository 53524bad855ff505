// Populations chosen by their labels compared over every system they share: each system's
// comparison as the single-system comparison makes it, with each population's identification
// figures, then the combination over the systems (multilocus.h) with the UPGMA and
// neighbor-joining trees of the combined Nei distance. The trees' support comes from
// replicates in which every population's individuals are drawn again within each system.
// Entry points: studySamples, studyPopulations.
#pragma once

#include "archive/task_archive.h"
#include "compare/comparison_report.h"
#include "compare/multilocus.h"
#include "compare/system_figures.h"
#include "compare/tree_support.h"

#include <optional>
#include <string>
#include <vector>

// A labelled task of the archive laid out for the comparison.
struct StudySample
{
    LabelledTask labels;
    PopulationSample sample;
};

struct StudySamples
{
    std::vector<StudySample> samples;
    std::optional<std::string> problem; // Russian, UTF-8
};

// The live tasks of the archive that carry one of the populations' labels and a system label,
// each read and laid out as opening it does. A task that cannot be laid out or has no counts
// is the problem, naming it. SPISOK ends on its first row under its resting filter; the list's
// data source, when given, does not follow it meanwhile.
StudySamples studySamples(const ArchiveTables& tables, const std::vector<Cp1251Text>& populations,
                          DataSource* listSource = nullptr);

struct StudySettings
{
    int replicates = 0; // 0: trees without support
    std::uint64_t seed = 0;
    // Called on the calling thread with the steps done and their number.
    std::function<void(std::int64_t done, std::int64_t total)> progress;
    const std::atomic<bool>* cancel = nullptr;
};

struct StudySystem
{
    SharedSystem shared;
    ComparisonReport report;            // the populations in the chosen order
    std::vector<SystemFigures> figures; // per population, at its estimate
};

struct StudyTree
{
    BranchTree tree;
    std::vector<double> support; // per join; empty without replicates
    std::string newick;
};

struct PopulationStudy
{
    bool cancelled = false;               // nothing else is filled then
    std::optional<std::string> problem;   // from sharedSystems; nothing else is filled then
    std::vector<std::string> populations; // UTF-8, the labels as chosen
    std::vector<StudySystem> systems;
    MultilocusComparison combined;
    StudyTree upgma;
    std::optional<StudyTree> neighborJoining; // nothing when a distance is not finite
};

// Compares the chosen populations over the systems they share. The samples are moved from.
PopulationStudy studyPopulations(std::vector<StudySample>& samples,
                                 const std::vector<Cp1251Text>& populations,
                                 const StudySettings& settings = {});
