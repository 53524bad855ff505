#include "compare/gui/comparison_tree.h"

#include "estimate/round_ticks.h"

#include <QPainter>

#include <cmath>

namespace {

constexpr int margin = 20;
constexpr int nameWidth = 220;
constexpr int scaleHeight = 40;
constexpr int maxScaleIntervals = 5;

struct Placed
{
    double x = 0;
    double y = 0;
};

} // namespace

void ComparisonTree::setTree(const Tree& tree, const std::vector<std::string>& names,
                             const std::vector<double>& support, const QString& caption)
{
    tree_ = tree;
    support_ = support;
    caption_ = caption;
    names_.clear();
    for (const std::string& name : names)
        names_.push_back(QString::fromStdString(name));
    update();
}

void ComparisonTree::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (tree_.leaves < 2) return;
    painter.setRenderHint(QPainter::Antialiasing);
    const double top = tree_.joins.back().height;
    const double left = margin + nameWidth;
    const double span = width() - left - margin;
    const double rowHeight = (height() - 2.0 * margin - scaleHeight) / tree_.leaves;
    // The leaves stand at the left, beside their names, and a join of height h at
    // span·h/top to the right of them, the root at the right edge.
    const auto xOf = [&](double h) {
        return top > 0 && std::isfinite(top) ? left + span * h / top : left;
    };
    std::vector<Placed> placed(static_cast<std::size_t>(tree_.leaves + tree_.joins.size()));
    // Leaves in the order the tree visits them, so that no branch crosses another.
    int row = 0;
    const auto placeLeaves = [&](const auto& self, int node) -> void {
        if (node < tree_.leaves) {
            placed[static_cast<std::size_t>(node)] = {xOf(0), margin + rowHeight * (row++ + 0.5)};
            return;
        }
        const TreeJoin& join = tree_.joins[static_cast<std::size_t>(node - tree_.leaves)];
        self(self, join.left);
        self(self, join.right);
    };
    placeLeaves(placeLeaves, static_cast<int>(placed.size()) - 1);
    painter.setPen(QPen(Qt::black, 2));
    for (std::size_t j = 0; j < tree_.joins.size(); ++j) {
        const TreeJoin& join = tree_.joins[j];
        const Placed a = placed[static_cast<std::size_t>(join.left)];
        const Placed b = placed[static_cast<std::size_t>(join.right)];
        const double x = xOf(join.height);
        painter.drawLine(QPointF(a.x, a.y), QPointF(x, a.y));
        painter.drawLine(QPointF(b.x, b.y), QPointF(x, b.y));
        painter.drawLine(QPointF(x, a.y), QPointF(x, b.y));
        placed[static_cast<std::size_t>(tree_.leaves) + j] = {x, (a.y + b.y) / 2};
    }
    painter.setPen(Qt::darkBlue);
    for (std::size_t j = 0; j + 1 < tree_.joins.size() && j < support_.size(); ++j) {
        const Placed at = placed[static_cast<std::size_t>(tree_.leaves) + j];
        painter.drawText(QRectF(at.x - 44, at.y - 18, 40, 16), Qt::AlignRight,
                         QString::number(std::lround(support_[j])));
    }
    painter.setPen(QPen(Qt::black, 2));
    for (int leaf = 0; leaf < tree_.leaves; ++leaf) {
        const Placed at = placed[static_cast<std::size_t>(leaf)];
        painter.drawText(QRectF(margin, at.y - rowHeight / 2, nameWidth - 8, rowHeight),
                         Qt::AlignVCenter | Qt::AlignRight, names_[static_cast<std::size_t>(leaf)]);
    }
    const double scaleY = height() - margin - scaleHeight / 2.0;
    painter.setPen(QPen(Qt::darkGray, 1));
    painter.drawLine(QPointF(left, scaleY), QPointF(left + span, scaleY));
    if (!std::isfinite(top)) return;
    // Round distances along the scale, up to the root's: a join of height h stands at the
    // distance 2h between its sides.
    const RoundTicks ticks = roundTicks(2 * top, maxScaleIntervals);
    for (int t = 0; t <= ticks.intervals && ticks.step * t <= 2 * top * (1 + 1e-9); ++t) {
        const double x = xOf(ticks.step * t / 2);
        painter.drawLine(QPointF(x, scaleY - 4), QPointF(x, scaleY + 4));
        painter.drawText(QRectF(x - 50, scaleY + 4, 100, 16), Qt::AlignCenter,
                         QString::fromStdString(ticks.label(t)));
    }
    painter.drawText(QRectF(left, scaleY - 22, span, 16), Qt::AlignCenter, caption_);
}
