#include "estimate/gui/statistics_charts.h"

#include "estimate/round_ticks.h"
#include "toolkit/qt_text.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QColor>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <array>

namespace {

// Horizontal offset of each criterion's point beside the allele's position.
constexpr std::array<double, 3> criterionOffsets = {-0.2, 0, 0.2};
// One colour per criterion, for its points and its intervals alike.
const std::array<QColor, 3> criterionColours = {QColor(31, 119, 180), QColor(214, 39, 40),
                                                QColor(44, 160, 44)};

// The name of entry `number` (1-based) as an axis label: whole up to labelLength characters,
// otherwise cut with "…" and the number after it, so that a long name cannot take the chart's
// height and two cut names still differ (an axis takes no label twice).
constexpr int labelLength = 16;
QString axisLabel(const QString& name, int number)
{
    if (name.size() <= labelLength) return name;
    return name.left(labelLength - 1) + "… (" + QString::number(number) + ")";
}

// Category labels stand upright side by side and are shown whole: Qt's own truncation would
// cut every one of them to "…" beside a few dozen neighbours.
void setUprightLabels(QAbstractAxis& axis)
{
    axis.setLabelsAngle(-90);
    axis.setTruncateLabels(false);
}

// The axis from 0 to the first round tick at or above top, a gridline at every round tick,
// each labelled with the digits that tell it from its neighbours.
void setRoundTicks(QValueAxis& axis, double top, int maxIntervals)
{
    const RoundTicks ticks = roundTicks(top, maxIntervals);
    axis.setRange(0, ticks.top());
    axis.setTickCount(ticks.intervals + 1);
    axis.setLabelFormat(QString("%.%1f").arg(ticks.decimals));
}

} // namespace

QChart* observedExpectedChart(const PhenotypeBars& shown, const QString& criterion)
{
    auto* chart = new QChart;
    QString title = "Фактическое и расчетное поголовье фенотипов (" + criterion + ")";
    if (static_cast<int>(shown.bars.size()) < shown.phenotypeCount)
        title += QString(": %1 из %2 с наибольшим отклонением")
                     .arg(shown.bars.size())
                     .arg(shown.phenotypeCount);
    chart->setTitle(title);
    auto* observed = new QBarSet("Факт");
    auto* expected = new QBarSet("Расчет");
    QStringList labels;
    double top = 0;
    for (const PhenotypeBar& bar : shown.bars) {
        observed->append(bar.observed);
        expected->append(bar.expected);
        labels << axisLabel(QString::fromStdString(bar.label), bar.number);
        top = std::max({top, bar.observed, bar.expected});
    }
    auto* series = new QBarSeries;
    series->append(observed);
    series->append(expected);
    chart->addSeries(series);
    auto* x = new QBarCategoryAxis;
    x->append(labels);
    setUprightLabels(*x);
    auto* y = new QValueAxis;
    setRoundTicks(*y, top, 8);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    return chart;
}

QChart* alleleFrequencyChart(const TaskState& task, const TaskStatistics& statistics,
                             const ReplicateResult* replicates)
{
    auto* chart = new QChart;
    chart->setTitle("Частоты аллелей и 95% интервалы");
    const int n = task.alleleCount;
    auto* x = new QCategoryAxis;
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
    x->setStartValue(0.5);
    for (int i = 1; i <= n; ++i)
        x->append(axisLabel(toQString(task.alleleNames[i].trimmed()), i), i + 0.5);
    x->setRange(0.5, n + 0.5);
    if (n > 10) setUprightLabels(*x);
    auto* y = new QValueAxis;
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    double top = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        const CriterionStatistics& criterion = statistics.criteria[k];
        auto* points = new QScatterSeries;
        points->setName(criterionNames[k]);
        points->setMarkerSize(8);
        chart->addSeries(points);
        points->setColor(criterionColours[k]);
        points->setBorderColor(criterionColours[k]);
        points->attachAxis(x);
        points->attachAxis(y);
        for (int i = 0; i < n; ++i) {
            const auto a = static_cast<std::size_t>(i);
            const double position = i + 1 + criterionOffsets[k];
            const auto estimate = static_cast<double>(criterion.frequencies[a]);
            points->append(position, estimate);
            top = std::max(top, estimate);
            double lower = estimate;
            double upper = estimate;
            if (replicates) {
                lower = replicates->criteria[k].intervals[a].first;
                upper = replicates->criteria[k].intervals[a].second;
            } else if (k == 0 && criterion.standardErrors[a].gap == ErrorGap::none) {
                lower = criterion.standardErrors[a].lower;
                upper = criterion.standardErrors[a].upper;
            }
            if (!(upper > lower)) continue;
            auto* interval = new QLineSeries;
            interval->append(position, lower);
            interval->append(position, upper);
            interval->setColor(criterionColours[k]);
            chart->addSeries(interval);
            interval->attachAxis(x);
            interval->attachAxis(y);
            for (QLegendMarker* marker : chart->legend()->markers(interval))
                marker->setVisible(false);
            top = std::max(top, upper);
        }
    }
    setRoundTicks(*y, std::min(1.0, top * 1.05), 8);
    return chart;
}
