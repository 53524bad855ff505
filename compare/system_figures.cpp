#include "compare/system_figures.h"

#include "compare/population_bootstrap.h"
#include "estimate/fisher_information.h"

SystemFigures systemFigures(const TaskState& task, const std::vector<long double>& estimate,
                            std::int64_t total)
{
    return {ParentageSystem(task).figures(estimate),
            geneDiversity(estimate, maximumLikelihoodCovariance(task, estimate, total))};
}

ForensicIntervals forensicIntervals(const TaskState& task, const std::vector<std::int64_t>& counts,
                                    const std::vector<long double>& estimate,
                                    const ReplicateSettings& settings)
{
    ForensicIntervals intervals;
    const BootstrapFrequencies bootstrap =
        bootstrapFrequencies(task, {counts}, {estimate}, settings);
    if (bootstrap.cancelled) {
        intervals.cancelled = true;
        return intervals;
    }
    const ParentageSystem system(task);
    std::vector<double> power;
    std::vector<double> trio;
    std::vector<double> duo;
    for (const std::vector<Frequencies>& sample : bootstrap.samples) {
        if (settings.cancel && settings.cancel->load()) {
            intervals.cancelled = true;
            return intervals;
        }
        const ForensicFigures figures = system.figures(sample.front());
        power.push_back(figures.discriminationPower);
        trio.push_back(figures.exclusionTrio);
        duo.push_back(figures.exclusionDuo);
    }
    intervals.discriminationPower = percentileInterval(std::move(power));
    intervals.exclusionTrio = percentileInterval(std::move(trio));
    intervals.exclusionDuo = percentileInterval(std::move(duo));
    return intervals;
}
