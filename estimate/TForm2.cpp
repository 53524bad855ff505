#include "estimate/TForm2.h"
#include "toolkit/controls.h"

#include "task/list_grid.h"
#include "task/phenotypes.h"

TForm2* Form2 = nullptr;

namespace {

StringGrid* makeReportGrid(QWidget* parent, int x, int y, int width, int height)
{
    auto* grid = new StringGrid(parent);
    grid->setGeometry(x, y, width, height);
    grid->setFont(narrowFont(8));
    return grid;
}

const char* const frequencyHeaders[] = {"Частоты по МП", "Частоты по МНК", "Частоты по МННК"};

} // namespace

TForm2::TForm2()
{
    setObjectName("Form2");
    setWindowTitle("Полный отчет по аллелям, генотипам и тестам");
    placeTopLeft(979, 734);
    StringGrid1 = makeReportGrid(this, 4, 8, 421, 465);
    StringGrid2 = makeReportGrid(this, 440, 8, 525, 465);
    StringGrid3 = makeReportGrid(this, 4, 484, 961, 205);
    layOutColumns();
}

void TForm2::layOutColumns()
{
    ::layOutColumns(*StringGrid1, {{"№", 20},
                                   {"Аллели", 107},
                                   {frequencyHeaders[0], 83},
                                   {frequencyHeaders[1], 88},
                                   {frequencyHeaders[2], 98}});
    ::layOutColumns(*StringGrid2, {{"№", 20},
                                   {"Генотипы", 210},
                                   {frequencyHeaders[0], 83},
                                   {frequencyHeaders[1], 88},
                                   {frequencyHeaders[2], 98}});
    ::layOutColumns(*StringGrid3, {{"№", 20},
                                   {"Тесты", 165},
                                   {"Факт", 75},
                                   {"Расчет по МП", 80},
                                   {"Расчет по МНК", 90},
                                   {"Расчет по МННК", 100},
                                   {"Частота Факт", 96},
                                   {"Частота по МП", 100},
                                   {"Частота по МНК", 100},
                                   {"Частота по МННК", 103}});
}

void TForm2::showAlleles(const TaskState& task)
{
    const std::vector<Cp1251Text> names(task.alleleNames.begin() + 1,
                                        task.alleleNames.begin() + 1 + task.alleleCount);
    showNumberedRows(*StringGrid1, names, {"Сумма"});
    for (int r = 1; r <= task.alleleCount; ++r)
        StringGrid1->setCells(2, r, QString());
}

void TForm2::showTests(const TaskState& task)
{
    const std::vector<Cp1251Text> names(task.testNames.begin() + 1,
                                        task.testNames.begin() + 1 + task.testCount);
    showNumberedRows(*StringGrid3, names);
}

void TForm2::showGenotypes(const TaskState& task)
{
    std::vector<Cp1251Text> names;
    names.reserve(task.genotypeCount);
    for (int k = 1; k <= task.genotypeCount; ++k)
        names.push_back(genotypeName(task, k));
    showNumberedRows(*StringGrid2, names, {"Сумма", "Гомозиготы", "Гетерозиготы"});
}
