// The replicate run of the statistics window: the bootstrap and Monte-Carlo samples of the
// task's statistics, then the bootstrap intervals of its identification figures, with one
// progress count over both (2B in all). Entry point: runStatisticsReplicates.
#pragma once

#include "compare/system_figures.h"
#include "estimate/replicates.h"
#include "estimate/task_statistics.h"

struct StatisticsReplicates
{
    ReplicateResult replicates; // cancelled when the run was stopped
    ForensicIntervals forensic;
};

StatisticsReplicates runStatisticsReplicates(const TaskState& task,
                                             const TaskStatistics& statistics,
                                             const ReplicateSettings& settings);
