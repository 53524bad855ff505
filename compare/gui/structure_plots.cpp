#include "compare/gui/structure_plots.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int margin = 40;
constexpr int gridSteps = 10;
constexpr double pointRadius = 4;

const QColor gridColor(220, 220, 220);
const QColor ellipseColor(30, 90, 200);

std::vector<QString> qtTexts(const std::vector<std::string>& texts)
{
    std::vector<QString> shown;
    for (const std::string& text : texts)
        shown.push_back(QString::fromStdString(text));
    return shown;
}

QString shareText(double share)
{
    return QString::number(100 * share, 'f', 1) + "%";
}

} // namespace

void TrianglePlot::setPoints(const std::vector<TrianglePoint>& points,
                             const std::vector<std::string>& names,
                             const std::vector<std::string>& alleles)
{
    points_ = points;
    names_ = qtTexts(names);
    alleles_ = qtTexts(alleles);
    update();
}

void TrianglePlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (points_.empty() || alleles_.size() != 3) {
        painter.drawText(rect(), Qt::AlignCenter,
                         "Треугольник частот строится для систем из трех аллелей.");
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const double rootThree = std::sqrt(3.0);
    // The side as long as fits both ways, the triangle centred.
    const double side = std::min(width() - 2.0 * margin, (height() - 2.0 * margin) * 2 / rootThree);
    const double x0 = (width() - side) / 2;
    const double y0 = (height() + side * rootThree / 2) / 2;
    const auto at = [&](double x, double y) { return QPointF(x0 + side * x, y0 - side * y); };
    const auto byFrequencies = [&](double q, double r) { return at(q + r / 2, r * rootThree / 2); };
    painter.setPen(QPen(gridColor, 1));
    for (int step = 1; step < gridSteps; ++step) {
        const double f = static_cast<double>(step) / gridSteps;
        painter.drawLine(byFrequencies(f, 0), byFrequencies(0, f));     // p = 1 − f
        painter.drawLine(byFrequencies(f, 0), byFrequencies(f, 1 - f)); // q = f
        painter.drawLine(byFrequencies(0, f), byFrequencies(1 - f, f)); // r = f
    }
    painter.setPen(QPen(Qt::black, 2));
    const QPointF corners[3] = {at(0, 0), at(1, 0), at(0.5, rootThree / 2)};
    painter.drawPolygon(corners, 3);
    painter.drawText(QRectF(corners[0].x() - 60, corners[0].y() + 4, 120, 20), Qt::AlignCenter,
                     alleles_[0]);
    painter.drawText(QRectF(corners[1].x() - 60, corners[1].y() + 4, 120, 20), Qt::AlignCenter,
                     alleles_[1]);
    painter.drawText(QRectF(corners[2].x() - 60, corners[2].y() - 24, 120, 20), Qt::AlignCenter,
                     alleles_[2]);
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const TrianglePoint& point = points_[i];
        const QPointF centre = at(point.x, point.y);
        if (point.ellipse) {
            painter.save();
            painter.translate(centre);
            // The screen's y grows downwards, so the angle turns the other way.
            painter.rotate(-point.ellipse->angle * 180 / std::numbers::pi);
            painter.setPen(QPen(ellipseColor, 1.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(QPointF(0, 0), side * point.ellipse->majorSemiAxis,
                                side * point.ellipse->minorSemiAxis);
            painter.restore();
        }
        painter.setPen(Qt::black);
        painter.setBrush(Qt::black);
        painter.drawEllipse(centre, pointRadius, pointRadius);
        painter.drawText(centre + QPointF(8, -6), names_[i]);
    }
    painter.drawText(QRectF(0, 4, width(), 20), Qt::AlignCenter,
                     "Частоты аллелей с 95% доверительными эллипсами");
}

void ComponentsPlot::setComponents(const PrincipalComponents& components,
                                   const std::vector<std::string>& names)
{
    components_ = components;
    names_ = qtTexts(names);
    update();
}

void ComponentsPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const auto& scores = components_.scores;
    if (scores.empty()) return;
    painter.setRenderHint(QPainter::Antialiasing);
    // Both axes on one scale, so the distances on the plot are the distances of the points.
    double reach = 0;
    for (const auto& score : scores)
        reach = std::max({reach, std::fabs(score[0]), std::fabs(score[1])});
    if (!(reach > 0)) reach = 1;
    const double half = std::min(width() - 2.0 * margin, height() - 2.0 * margin) / 2;
    const QPointF centre(width() / 2.0, height() / 2.0);
    const auto at = [&](double x, double y) {
        return centre + QPointF(half * x / (1.15 * reach), -half * y / (1.15 * reach));
    };
    painter.setPen(QPen(Qt::darkGray, 1));
    painter.drawLine(at(-1.15 * reach, 0), at(1.15 * reach, 0));
    painter.drawLine(at(0, -1.15 * reach), at(0, 1.15 * reach));
    painter.setPen(Qt::black);
    painter.drawText(
        QRectF(centre.x() - half, centre.y() + half + 4, 2 * half, 20), Qt::AlignCenter,
        "Главная компонента 1 (" + shareText(components_.varianceShares[0]) + " дисперсии)");
    painter.save();
    painter.translate(centre.x() - half - 8, centre.y());
    painter.rotate(-90);
    painter.drawText(QRectF(-half, -20, 2 * half, 20), Qt::AlignCenter,
                     "Главная компонента 2 (" + shareText(components_.varianceShares[1]) +
                         " дисперсии)");
    painter.restore();
    painter.setBrush(Qt::black);
    for (std::size_t i = 0; i < scores.size(); ++i) {
        const QPointF point = at(scores[i][0], scores[i][1]);
        painter.drawEllipse(point, pointRadius, pointRadius);
        painter.drawText(point + QPointF(8, -6), names_[i]);
    }
}
