#include "compare/population_study.h"

#include "archive/archived_task.h"
#include "compare/neighbor_joining.h"
#include "compare/population_bootstrap.h"
#include "platform/cp1251.h"
#include "tables/archive_schema.h"

#include <set>

namespace {

Cp1251Text labelKey(const Cp1251Text& label)
{
    return label.upper().trimmed();
}

// Each system's replicates draw from streams of their own.
std::uint64_t systemSeed(std::uint64_t seed, std::size_t system)
{
    return seed ^ ((system + 1) * 0x9E3779B97F4A7C15ULL);
}

// The frequencies of every system one after another: Nei's distance of these is the
// multi-locus distance, the J's summed over the systems.
Frequencies joined(const std::vector<const Frequencies*>& systems)
{
    Frequencies all;
    for (const Frequencies* system : systems)
        all.insert(all.end(), system->begin(), system->end());
    return all;
}

StudyTree studyTree(BranchTree tree, std::vector<double> support,
                    const std::vector<std::string>& names)
{
    StudyTree result{std::move(tree), std::move(support), {}};
    result.newick = newickText(result.tree, names, result.support);
    return result;
}

} // namespace

StudySamples studySamples(const ArchiveTables& tables, const std::vector<Cp1251Text>& populations,
                          DataSource* listSource)
{
    StudySamples read;
    std::set<Cp1251Text> chosen;
    for (const Cp1251Text& population : populations)
        chosen.insert(labelKey(population));
    Table& spisok = tables.spisok;
    if (listSource) listSource->setEnabled(false);
    spisok.setFilter(liveRowsFilter);
    spisok.setFiltered(true);
    const std::map<int, TaskLabels> labels = readTaskLabels(spisok, *tables.labels);
    for (std::size_t row = 0; row < spisok.rowCount() && !read.problem; ++row) {
        const auto found = labels.find(spisok.fieldAt(row, "index").asInteger());
        if (found == labels.end() || found->second.system.trimmed().empty() ||
            !chosen.count(labelKey(found->second.population)))
            continue;
        spisok.moveTo(row);
        const std::optional<TaskRecord> record = loadTask(tables);
        auto task = std::make_unique<TaskState>();
        const ArchivedTask archived = taskFromRecord(*record, *task);
        const std::string name = cp1251ToUtf8(record->name.trimmed());
        if (archived.problem) {
            read.problem = "Задача «" + name + "»: " + *archived.problem + ".";
            continue;
        }
        LabelledTask labelled{
            found->second.population, found->second.system, {}, archived.mode, record->name};
        for (int k = 1; k <= task->alleleCount; ++k)
            labelled.alleles.push_back(task->alleleNames[k]);
        std::optional<PopulationSample> sample = sampleOfLoadedTask(
            cp1251ToUtf8(found->second.population.trimmed()), std::move(task), archived);
        if (!sample)
            read.problem = "Численности задачи «" + name + "» не прочитаны.";
        else
            read.samples.push_back({std::move(labelled), std::move(*sample)});
    }
    if (spisok.rowCount() > 0) spisok.moveTo(0);
    if (listSource) listSource->setEnabled(true);
    if (read.problem) read.samples.clear();
    return read;
}

PopulationStudy studyPopulations(std::vector<StudySample>& samples,
                                 const std::vector<Cp1251Text>& populations,
                                 const StudySettings& settings)
{
    PopulationStudy study;
    std::vector<LabelledTask> labels;
    for (const StudySample& sample : samples)
        labels.push_back(sample.labels);
    const SharedSystems shared = sharedSystems(labels, populations);
    if (shared.problem) {
        study.problem = shared.problem;
        return study;
    }
    for (const Cp1251Text& population : populations)
        study.populations.push_back(cp1251ToUtf8(population.trimmed()));
    const std::size_t n = populations.size();
    const std::int64_t systems = static_cast<std::int64_t>(shared.systems.size());
    const std::int64_t steps = systems * (static_cast<std::int64_t>(n) + 1 + settings.replicates);
    std::int64_t done = 0;

    std::vector<std::vector<PopulationSample>> groups;
    std::vector<PopulationComparison> comparisons;
    std::vector<std::vector<ForensicFigures>> forensic;
    for (const SharedSystem& system : shared.systems) {
        std::vector<PopulationSample>& group = groups.emplace_back();
        for (std::size_t i = 0; i < n; ++i) {
            group.push_back(std::move(samples[system.tasks[i]].sample));
            group.back().name = study.populations[i];
        }
        if (const auto mismatch = comparisonMismatch(group)) {
            study.problem = "Система «" + cp1251ToUtf8(system.system.trimmed()) + "»: " + *mismatch;
            return study;
        }
        ComparisonSettings compare;
        compare.cancel = settings.cancel;
        if (settings.progress)
            compare.progress = [&](int estimates, int) {
                settings.progress(done + estimates, steps);
            };
        StudySystem& result = study.systems.emplace_back();
        result.shared = system;
        result.report = compareSamples(group, compare);
        done += static_cast<std::int64_t>(n) + 1;
        if (result.report.comparison.cancelled) {
            study.cancelled = true;
            return study;
        }
        std::vector<ForensicFigures>& figures = forensic.emplace_back();
        for (std::size_t i = 0; i < n; ++i) {
            const PopulationEstimate& estimate = result.report.comparison.populations[i];
            result.figures.push_back(
                systemFigures(*group[i].task, estimate.frequencies, estimate.total));
            figures.push_back(result.figures.back().forensic);
        }
        comparisons.push_back(result.report.comparison);
    }
    study.combined = combineSystems(comparisons, forensic);

    if (settings.replicates <= 0) {
        study.upgma =
            studyTree(branchTree(upgmaTree(study.combined.neiDistance)), {}, study.populations);
        if (auto tree = neighborJoiningTree(study.combined.neiDistance))
            study.neighborJoining = studyTree(std::move(*tree), {}, study.populations);
        return study;
    }
    // Each replicate draws every population's individuals again within each system; its
    // distance is the multi-locus one of its systems' refitted frequencies.
    const auto b = static_cast<std::size_t>(settings.replicates);
    std::vector<std::vector<std::vector<Frequencies>>> drawn; // system, replicate, population
    for (std::size_t s = 0; s < groups.size(); ++s) {
        std::vector<std::vector<std::int64_t>> counts;
        std::vector<Frequencies> estimates;
        for (std::size_t i = 0; i < n; ++i) {
            counts.push_back(groups[s][i].counts);
            estimates.push_back(comparisons[s].populations[i].frequencies);
        }
        ReplicateSettings replicates;
        replicates.replicates = settings.replicates;
        replicates.seed = systemSeed(settings.seed, s);
        replicates.cancel = settings.cancel;
        if (settings.progress)
            replicates.progress = [&](std::int64_t r, std::int64_t) {
                settings.progress(done + r, steps);
            };
        BootstrapFrequencies frequencies =
            bootstrapFrequencies(*groups[s][0].task, counts, estimates, replicates);
        done += settings.replicates;
        if (frequencies.cancelled) {
            study.cancelled = true;
            return study;
        }
        drawn.push_back(std::move(frequencies.samples));
    }
    std::vector<Frequencies> estimates;
    std::vector<std::vector<Frequencies>> replicates(b);
    for (std::size_t i = 0; i < n; ++i) {
        std::vector<const Frequencies*> own;
        for (const PopulationComparison& comparison : comparisons)
            own.push_back(&comparison.populations[i].frequencies);
        estimates.push_back(joined(own));
        for (std::size_t r = 0; r < b; ++r) {
            own.clear();
            for (const auto& system : drawn)
                own.push_back(&system[r][i]);
            replicates[r].push_back(joined(own));
        }
    }
    BootstrapTrees trees = bootstrapTrees(estimates, replicates, neiDistance);
    study.upgma =
        studyTree(std::move(trees.upgma.tree), std::move(trees.upgma.support), study.populations);
    if (trees.neighborJoining)
        study.neighborJoining =
            studyTree(std::move(trees.neighborJoining->tree),
                      std::move(trees.neighborJoining->support), study.populations);
    return study;
}
