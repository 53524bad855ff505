// A tree of branches (the neighbor-joining tree) drawn with QPainter as a phylogram from its
// centre: the centre at the left, each branch as long as its length (a negative length
// drawn as 0), the populations at the right one above the other, each inner branch's
// bootstrap support beside its node, and a scale of the distance below.
#pragma once

#include "compare/genetic_distance.h"

#include <QWidget>

#include <string>
#include <vector>

class BranchTreeView : public QWidget
{
public:
    explicit BranchTreeView(QWidget* parent = nullptr) : QWidget(parent) {}

    // names: UTF-8, one per leaf; support: a percentage per join, or empty; caption: what
    // the scale measures.
    void setTree(const BranchTree& tree, const std::vector<std::string>& names,
                 const std::vector<double>& support, const QString& caption);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    BranchTree tree_;
    std::vector<QString> names_;
    std::vector<double> support_;
    QString caption_;
};
