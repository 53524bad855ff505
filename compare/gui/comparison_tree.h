// The UPGMA tree of a comparison drawn with QPainter: the populations down the left, one
// above the other, the joins to the right of them at their heights with their bootstrap
// support beside them when there is any, and a scale of the distance between the sides of a
// join drawn below, at round distances labelled so that each reads differently however
// close the populations are.
#pragma once

#include "compare/genetic_distance.h"

#include <QWidget>

#include <string>
#include <vector>

class ComparisonTree : public QWidget
{
public:
    explicit ComparisonTree(QWidget* parent = nullptr) : QWidget(parent) {}

    // names: UTF-8, one per leaf of the tree; support: a percentage per join, or empty;
    // caption: what the scale measures.
    void setTree(const Tree& tree, const std::vector<std::string>& names,
                 const std::vector<double>& support = {},
                 const QString& caption = "Расстояние Нея D между ветвями");

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Tree tree_;
    std::vector<QString> names_;
    std::vector<double> support_;
    QString caption_;
};
