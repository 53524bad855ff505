#include "estimate/statistics_charts.h"

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

const std::array<const char*, 3> criterionNames = {"МП", "МНК", "МННК"};
// Horizontal offset of each criterion's point beside the allele's position.
constexpr std::array<double, 3> criterionOffsets = {-0.2, 0, 0.2};
// One colour per criterion, for its points and its intervals alike.
const std::array<QColor, 3> criterionColours = {QColor(31, 119, 180), QColor(214, 39, 40),
                                                QColor(44, 160, 44)};

} // namespace

QChart* observedExpectedChart(const std::vector<PhenotypeBar>& bars, const QString& criterion)
{
    auto* chart = new QChart;
    chart->setTitle("Фактическое и расчетное поголовье фенотипов (" + criterion + ")");
    auto* observed = new QBarSet("Факт");
    auto* expected = new QBarSet("Расчет");
    QStringList labels;
    double top = 0;
    for (const PhenotypeBar& bar : bars) {
        observed->append(bar.observed);
        expected->append(bar.expected);
        labels << QString::fromStdString(bar.label);
        top = std::max({top, bar.observed, bar.expected});
    }
    auto* series = new QBarSeries;
    series->append(observed);
    series->append(expected);
    chart->addSeries(series);
    auto* x = new QBarCategoryAxis;
    x->append(labels);
    x->setLabelsAngle(-90);
    auto* y = new QValueAxis;
    y->setRange(0, top > 0 ? top * 1.05 : 1);
    y->setLabelFormat("%.0f");
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
        x->append(toQString(task.alleleNames[i].trimmed()), i + 0.5);
    x->setRange(0.5, n + 0.5);
    x->setLabelsAngle(n > 10 ? -90 : 0);
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
    y->setRange(0, std::min(1.0, top * 1.1 + 0.01));
    y->setLabelFormat("%.2f");
    return chart;
}
