// The two charts of the statistics window, drawn with Qt Charts: observed against expected
// counts per phenotype for one criterion, and the allele frequencies of the three criteria
// with their 95% intervals. Entry points: observedExpectedChart, alleleFrequencyChart.
#pragma once

#include "estimate/phenotype_bars.h"
#include "estimate/replicates.h"
#include "estimate/task_statistics.h"
#include "task/task_state.h"

#include <QChart>
#include <QString>

#include <vector>

// Two bar sets, "Факт" and "Расчет", one category per bar; the title says how many of the
// phenotypes are shown when some are left out. The count axis has round ticks.
QChart* observedExpectedChart(const PhenotypeBars& shown, const QString& criterion);

// One series of points per criterion, alleles side by side, on a frequency axis with round
// ticks; each point carries its interval as a vertical line: the bootstrap percentile interval when
// there are replicates, otherwise the Wald interval of МП and none for the least-squares criteria.
QChart* alleleFrequencyChart(const TaskState& task, const TaskStatistics& statistics,
                             const ReplicateResult* replicates);
