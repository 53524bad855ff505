// The string grid: fixed header row and number column, cells, and the edit events.
#include "platform/cp1251.h"
#include "tests/support/typing.h"
#include "toolkit/form.h"
#include "toolkit/message.h"
#include "toolkit/string_grid.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

TEST(StringGrid, CountsAndCellsIncludeTheFixedRowAndColumn)
{
    StringGrid grid;
    grid.setColCount(3);
    grid.setRowCount(4);
    EXPECT_EQ(grid.table()->columnCount(), 2);
    EXPECT_EQ(grid.table()->rowCount(), 3);
    grid.setCells(0, 0, "№");
    grid.setCells(1, 0, "Аллели");
    grid.setCells(0, 2, "2");
    grid.setCells(2, 3, "0.250");
    EXPECT_EQ(grid.cells(0, 0), "№");
    EXPECT_EQ(grid.table()->horizontalHeaderItem(0)->text(), "Аллели");
    EXPECT_EQ(grid.table()->verticalHeaderItem(1)->text(), "2");
    EXPECT_EQ(grid.cells(2, 3), "0.250");
    EXPECT_EQ(grid.cells(1, 1), "");
    EXPECT_THROW(grid.cells(3, 1), std::out_of_range);

    grid.setColWidth(0, 20);
    grid.setColWidth(2, 48);
    EXPECT_EQ(grid.colWidth(0), 20);
    EXPECT_EQ(grid.table()->verticalHeader()->width(), 20);
    EXPECT_EQ(grid.colWidth(2), 48);

    grid.setCell(1, 1, "\xC0 ");
    EXPECT_EQ(grid.cells(1, 1), "А ");
    EXPECT_EQ(grid.cell(1, 1), "\xC0 ");
    grid.setCells(1, 2, "α");
    EXPECT_THROW(grid.cell(1, 2), EncodingError);
}

TEST(StringGrid, SetEditTextFiresOnEveryKeystrokeWithTheCellAlreadyHoldingTheText)
{
    Form window;
    auto* grid = new StringGrid(&window);
    grid->setGeometry(0, 0, 300, 200);
    grid->setColCount(3);
    grid->setRowCount(3);
    grid->setEditing(true);
    std::vector<QString> seen;
    grid->onSetEditText = [&](int col, int row, const QString& text) {
        EXPECT_EQ(col, 2);
        EXPECT_EQ(row, 1);
        EXPECT_EQ(grid->cells(col, row), text);
        seen.push_back(text);
        if (text == "12x") grid->setCells(col, row, QString()); // a handler refusing the text
    };
    ModalScript script;
    script.then([&](Form&) {
        typeIntoCell(grid, 2, 1, "12x3");
        EXPECT_EQ(seen, (std::vector<QString>{"1", "12", "12x", "3"}));
        EXPECT_EQ(grid->cells(2, 1), "3");
    });
    window.showModal();
}

TEST(StringGrid, SelectCellFiresAndTheEditingSwitchDecidesWhetherAKeyOpensAnEditor)
{
    Form window;
    auto* grid = new StringGrid(&window);
    grid->setGeometry(0, 0, 300, 200);
    grid->setColCount(3);
    grid->setRowCount(3);
    std::vector<std::pair<int, int>> selected;
    grid->onSelectCell = [&](int col, int row) {
        selected.emplace_back(col, row);
        grid->setEditing(col == 2);
    };
    ModalScript script;
    script.then([&](Form&) {
        typeIntoCell(grid, 1, 2, "7");
        EXPECT_EQ(grid->cells(1, 2), "");
        typeIntoCell(grid, 2, 2, "7");
        EXPECT_EQ(grid->cells(2, 2), "7");
    });
    window.showModal();
    // Showing the grid may make its first cell current before the clicks.
    ASSERT_GE(selected.size(), 2u);
    EXPECT_EQ(selected[selected.size() - 2], std::make_pair(1, 2));
    EXPECT_EQ(selected.back(), std::make_pair(2, 2));
}

TEST(StringGrid, TheEditorAcceptsAtMostTheMaximumLength)
{
    Form window;
    auto* grid = new StringGrid(&window);
    grid->setGeometry(0, 0, 300, 200);
    grid->setColCount(2);
    grid->setRowCount(2);
    grid->setEditing(true);
    grid->setMaxLength(3);
    ModalScript script;
    script.then([&](Form&) { typeIntoCell(grid, 1, 1, "abcdef"); });
    window.showModal();
    EXPECT_EQ(grid->cells(1, 1), "abc");
}
