// The report windows as the control window's set-up lays them out: sizes, grid places,
// columns, headers, row counts, row numbers, names and summary rows, for small tasks in
// both inheritance modes.
#include "estimate/gui/TForm2.h"
#include "estimate/gui/TForm3.h"
#include "task/gui/Tantigen.h"
#include "task/gui/Tkontrol.h"
#include "task/task_state.h"
#include "tests/support/allele_entry.h"
#include "tests/support/print_qstring.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<QString>;

void setUpTask(const Texts& alleles, bool dominance)
{
    enterAlleles(alleles, dominance);
    ASSERT_TRUE(antigen->checkAlleleList());
    ModalScript script;
    kontrol->showModal();
}

Texts column(StringGrid* grid, int col)
{
    Texts texts;
    for (int r = 0; r < grid->rowCount(); ++r)
        texts.push_back(grid->cells(col, r));
    return texts;
}

Texts headers(StringGrid* grid)
{
    Texts texts;
    for (int c = 0; c < grid->colCount(); ++c)
        texts.push_back(grid->cells(c, 0));
    return texts;
}

std::vector<int> widths(StringGrid* grid)
{
    std::vector<int> w;
    for (int c = 0; c < grid->colCount(); ++c)
        w.push_back(grid->colWidth(c));
    return w;
}

// Fills every cell of the report grids, as a calculation of a bigger task leaves them.
void fillWithResults()
{
    for (StringGrid* grid :
         {Form2->StringGrid1, Form2->StringGrid2, Form2->StringGrid3, Form3->StringGrid1}) {
        grid->setRowCount(40);
        for (int r = 1; r < 40; ++r)
            for (int c = 0; c < grid->colCount(); ++c)
                grid->setCells(c, r, "0.999");
    }
}

} // namespace

TEST(ReportLayout, WindowsGridsAndColumns)
{
    EXPECT_EQ(Form2->windowTitle(), "Полный отчет по аллелям, генотипам и тестам");
    EXPECT_EQ(Form3->windowTitle(), "Полный отчет по фенотипам");
    for (Form* window : {static_cast<Form*>(Form2), static_cast<Form*>(Form3)}) {
        EXPECT_EQ(window->size(), QSize(979, 734));
        EXPECT_EQ(window->pos(), QPoint(0, 0));
        EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    }
    EXPECT_EQ(Form2->StringGrid1->geometry(), QRect(4, 8, 421, 465));
    EXPECT_EQ(Form2->StringGrid2->geometry(), QRect(440, 8, 525, 465));
    EXPECT_EQ(Form2->StringGrid3->geometry(), QRect(4, 484, 961, 205));
    EXPECT_EQ(Form3->StringGrid1->geometry(), QRect(4, 12, 965, 593));
    EXPECT_EQ(Form3->Label1->pos(), QPoint(164, 620));
    EXPECT_EQ(Form3->Label2->pos(), QPoint(164, 644));
    EXPECT_EQ(Form3->Label3->pos(), QPoint(164, 668));

    setUpTask({"A", "B"}, false);
    EXPECT_EQ(headers(Form2->StringGrid1),
              (Texts{"№", "Аллели", "Частоты по МП", "Частоты по МНК", "Частоты по МННК"}));
    EXPECT_EQ(widths(Form2->StringGrid1), (std::vector<int>{20, 107, 83, 88, 98}));
    EXPECT_EQ(headers(Form2->StringGrid2),
              (Texts{"№", "Генотипы", "Частоты по МП", "Частоты по МНК", "Частоты по МННК"}));
    EXPECT_EQ(widths(Form2->StringGrid2), (std::vector<int>{20, 210, 83, 88, 98}));
    EXPECT_EQ(headers(Form2->StringGrid3),
              (Texts{"№", "Тесты", "Факт", "Расчет по МП", "Расчет по МНК", "Расчет по МННК",
                     "Частота Факт", "Частота по МП", "Частота по МНК", "Частота по МННК"}));
    EXPECT_EQ(widths(Form2->StringGrid3),
              (std::vector<int>{20, 165, 75, 80, 90, 100, 96, 100, 100, 103}));
    EXPECT_EQ(headers(Form3->StringGrid1),
              (Texts{"№", "Фенотип", "Факт", "Расчет по МП", "Расчет по МНК", "Расчет по МННК",
                     "Частота Факт", "Частота по МП", "Частота по МНК", "Частота по МННК"}));
    EXPECT_EQ(widths(Form3->StringGrid1),
              (std::vector<int>{20, 170, 80, 85, 90, 100, 87, 97, 100, 105}));
    for (StringGrid* grid :
         {Form2->StringGrid1, Form2->StringGrid2, Form2->StringGrid3, Form3->StringGrid1})
        EXPECT_FALSE(grid->editing());
}

TEST(ReportLayout, TwoCodominantAlleles)
{
    fillWithResults();
    setUpTask({"B", "A"}, false);
    EXPECT_EQ(column(Form2->StringGrid1, 0), (Texts{"№", "1", "2", ""}));
    EXPECT_EQ(column(Form2->StringGrid1, 1), (Texts{"Аллели", "B ", "A ", "Сумма"}));
    EXPECT_EQ(column(Form2->StringGrid1, 2), (Texts{"Частоты по МП", "", "", "0.999"}));
    EXPECT_EQ(column(Form2->StringGrid2, 0), (Texts{"№", "1", "2", "3", "", "", ""}));
    EXPECT_EQ(column(Form2->StringGrid2, 1),
              (Texts{"Генотипы", "B/B", "B/A", "A/A", "Сумма", "Гомозиготы", "Гетерозиготы"}));
    EXPECT_EQ(column(Form2->StringGrid3, 0), (Texts{"№", "1", "2"}));
    EXPECT_EQ(column(Form2->StringGrid3, 1), (Texts{"Тесты", "B", "A"}));
    EXPECT_EQ(column(Form3->StringGrid1, 0), (Texts{"№", "1", "2", "3", ""}));
    EXPECT_EQ(column(Form3->StringGrid1, 1), (Texts{"Фенотип", "B ", "A B ", "A ", "Сумма"}));
}

TEST(ReportLayout, TwoDominantAlleles)
{
    fillWithResults();
    setUpTask({"B", "A"}, true);
    EXPECT_EQ(column(Form2->StringGrid1, 1), (Texts{"Аллели", "B ", "A ", "Сумма"}));
    // The genotype rows are laid out in dominance too, exactly as in codominance.
    EXPECT_EQ(column(Form2->StringGrid2, 0), (Texts{"№", "1", "2", "3", "", "", ""}));
    EXPECT_EQ(column(Form2->StringGrid2, 1),
              (Texts{"Генотипы", "B/B", "B/A", "A/A", "Сумма", "Гомозиготы", "Гетерозиготы"}));
    EXPECT_EQ(column(Form2->StringGrid3, 1), (Texts{"Тесты", "B", "A"}));
    EXPECT_EQ(column(Form3->StringGrid1, 0), (Texts{"№", "1", "2", ""}));
    EXPECT_EQ(column(Form3->StringGrid1, 1), (Texts{"Фенотип", "B ", "A ", "Сумма"}));
}

TEST(ReportLayout, ThreeAllelesInBothModes)
{
    const Texts genotypeNames{"Генотипы", "B a/B a", "B a/-", "B a/C",      "-/-",
                              "-/C",      "C/C",     "Сумма", "Гомозиготы", "Гетерозиготы"};
    setUpTask({"B a", "-", "C"}, false);
    EXPECT_EQ(column(Form2->StringGrid1, 0), (Texts{"№", "1", "2", "3", ""}));
    EXPECT_EQ(column(Form2->StringGrid1, 1), (Texts{"Аллели", "B a ", "- ", "C ", "Сумма"}));
    EXPECT_EQ(column(Form2->StringGrid2, 0),
              (Texts{"№", "1", "2", "3", "4", "5", "6", "", "", ""}));
    EXPECT_EQ(column(Form2->StringGrid2, 1), genotypeNames);
    EXPECT_EQ(column(Form2->StringGrid3, 1), (Texts{"Тесты", "B", "a", "C"}));
    EXPECT_EQ(column(Form3->StringGrid1, 0), (Texts{"№", "1", "2", "3", "4", ""}));
    EXPECT_EQ(column(Form3->StringGrid1, 1),
              (Texts{"Фенотип", "B a ", "B C a ", "- ", "C ", "Сумма"}));

    setUpTask({"B a", "-", "C"}, true);
    EXPECT_EQ(column(Form2->StringGrid2, 0),
              (Texts{"№", "1", "2", "3", "4", "5", "6", "", "", ""}));
    EXPECT_EQ(column(Form2->StringGrid2, 1), genotypeNames);
    EXPECT_EQ(column(Form3->StringGrid1, 0), (Texts{"№", "1", "2", "3", ""}));
    EXPECT_EQ(column(Form3->StringGrid1, 1), (Texts{"Фенотип", "B a ", "- ", "C ", "Сумма"}));
}
