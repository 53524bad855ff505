#include "compare/statistics_replicates.h"

StatisticsReplicates runStatisticsReplicates(const TaskState& task,
                                             const TaskStatistics& statistics,
                                             const ReplicateSettings& settings)
{
    StatisticsReplicates run;
    run.replicates = runReplicates(task, statistics, settings);
    if (run.replicates.cancelled) return run;
    ReplicateSettings second = settings;
    if (settings.progress)
        second.progress = [&settings](std::int64_t done, std::int64_t total) {
            settings.progress(total + done, 2 * total);
        };
    run.forensic =
        forensicIntervals(task, statistics.counts, statistics.criteria[0].frequencies, second);
    run.replicates.cancelled = run.forensic.cancelled;
    return run;
}
