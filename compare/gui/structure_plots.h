// The plots of the compared populations drawn with QPainter: the allele triangle of a
// three-allele system with each population's 95% confidence ellipse, and the populations
// on their first two principal components with the share of the variance on each axis.
#pragma once

#include "compare/frequency_plots.h"

#include <QWidget>

#include <string>
#include <vector>

// The triangle: allele 1 at the bottom left, allele 2 at the bottom right, allele 3 at the
// top, a light grid at every tenth of each frequency; without points it says that it is
// drawn for three-allele systems only.
class TrianglePlot : public QWidget
{
public:
    explicit TrianglePlot(QWidget* parent = nullptr) : QWidget(parent) {}

    // names, alleles: UTF-8.
    void setPoints(const std::vector<TrianglePoint>& points, const std::vector<std::string>& names,
                   const std::vector<std::string>& alleles);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<TrianglePoint> points_;
    std::vector<QString> names_;
    std::vector<QString> alleles_;
};

class ComponentsPlot : public QWidget
{
public:
    explicit ComponentsPlot(QWidget* parent = nullptr) : QWidget(parent) {}

    void setComponents(const PrincipalComponents& components,
                       const std::vector<std::string>& names);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PrincipalComponents components_;
    std::vector<QString> names_;
};
