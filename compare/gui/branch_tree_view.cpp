#include "compare/gui/branch_tree_view.h"

#include "estimate/round_ticks.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int margin = 20;
constexpr int nameWidth = 220;
constexpr int scaleHeight = 40;
constexpr int maxScaleIntervals = 5;

} // namespace

void BranchTreeView::setTree(const BranchTree& tree, const std::vector<std::string>& names,
                             const std::vector<double>& support, const QString& caption)
{
    tree_ = tree;
    names_.clear();
    for (const std::string& name : names)
        names_.push_back(QString::fromStdString(name));
    support_ = support;
    caption_ = caption;
    update();
}

void BranchTreeView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (tree_.leaves < 2 || tree_.joins.empty()) return;
    painter.setRenderHint(QPainter::Antialiasing);
    const auto nodes = static_cast<std::size_t>(tree_.leaves) + tree_.joins.size();
    // The distance of each node from the centre, the joins coming after what they hold.
    std::vector<double> depth(nodes, 0);
    for (std::size_t j = tree_.joins.size(); j-- > 0;)
        for (const TreeBranch& branch : tree_.joins[j])
            depth[static_cast<std::size_t>(branch.node)] =
                depth[static_cast<std::size_t>(tree_.leaves) + j] + std::max(0.0, branch.length);
    const double deepest = *std::max_element(depth.begin(), depth.end());
    const double left = margin;
    const double span = width() - 2.0 * margin - nameWidth;
    const double rowHeight = (height() - 2.0 * margin - scaleHeight) / tree_.leaves;
    const auto xOf = [&](double d) {
        return deepest > 0 && std::isfinite(deepest) ? left + span * d / deepest : left;
    };
    std::vector<double> y(nodes, 0);
    int row = 0;
    const auto place = [&](const auto& self, int node) -> void {
        const auto n = static_cast<std::size_t>(node);
        if (node < tree_.leaves) {
            y[n] = margin + rowHeight * (row++ + 0.5);
            return;
        }
        const std::vector<TreeBranch>& join =
            tree_.joins[n - static_cast<std::size_t>(tree_.leaves)];
        for (const TreeBranch& branch : join)
            self(self, branch.node);
        y[n] = (y[static_cast<std::size_t>(join.front().node)] +
                y[static_cast<std::size_t>(join.back().node)]) /
               2;
    };
    const int root = static_cast<int>(nodes) - 1;
    place(place, root);
    painter.setPen(QPen(Qt::black, 2));
    for (std::size_t j = 0; j < tree_.joins.size(); ++j) {
        const std::size_t node = static_cast<std::size_t>(tree_.leaves) + j;
        const double x = xOf(depth[node]);
        const std::vector<TreeBranch>& join = tree_.joins[j];
        painter.drawLine(QPointF(x, y[static_cast<std::size_t>(join.front().node)]),
                         QPointF(x, y[static_cast<std::size_t>(join.back().node)]));
        for (const TreeBranch& branch : join) {
            const auto child = static_cast<std::size_t>(branch.node);
            painter.drawLine(QPointF(x, y[child]), QPointF(xOf(depth[child]), y[child]));
        }
    }
    for (int leaf = 0; leaf < tree_.leaves; ++leaf) {
        const auto n = static_cast<std::size_t>(leaf);
        painter.drawText(QRectF(xOf(depth[n]) + 6, y[n] - rowHeight / 2, nameWidth - 8, rowHeight),
                         Qt::AlignVCenter | Qt::AlignLeft, names_[n]);
    }
    painter.setPen(Qt::darkBlue);
    for (std::size_t j = 0; j + 1 < tree_.joins.size() && j < support_.size(); ++j) {
        const std::size_t node = static_cast<std::size_t>(tree_.leaves) + j;
        painter.drawText(QRectF(xOf(depth[node]) - 44, y[node] - 18, 40, 16), Qt::AlignRight,
                         QString::number(std::lround(support_[j])));
    }
    const double scaleY = height() - margin - scaleHeight / 2.0;
    painter.setPen(QPen(Qt::darkGray, 1));
    painter.drawLine(QPointF(left, scaleY), QPointF(left + span, scaleY));
    if (!(deepest > 0) || !std::isfinite(deepest)) return;
    const RoundTicks ticks = roundTicks(deepest, maxScaleIntervals);
    for (int t = 0; t <= ticks.intervals && ticks.step * t <= deepest * (1 + 1e-9); ++t) {
        const double x = xOf(ticks.step * t);
        painter.drawLine(QPointF(x, scaleY - 4), QPointF(x, scaleY + 4));
        painter.drawText(QRectF(x - 50, scaleY + 4, 100, 16), Qt::AlignCenter,
                         QString::fromStdString(ticks.label(t)));
    }
    painter.drawText(QRectF(left, scaleY - 22, span, 16), Qt::AlignCenter, caption_);
}
