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

    grid.setCp1251Cell(1, 1, Cp1251Text::fromBytes("\xC0 "));
    EXPECT_EQ(grid.cells(1, 1), "А ");
    EXPECT_EQ(grid.cp1251Cell(1, 1).bytes(), "\xC0 ");
    grid.setCells(1, 2, "α");
    EXPECT_THROW(grid.cp1251Cell(1, 2), EncodingError);
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

TEST(StringGrid, EnterGoesDownDeleteEmptiesAndTheLastRowGoesOnIntoTheContinuingGrid)
{
    Form window;
    StringGrid* grids[2];
    for (int g = 0; g < 2; ++g) {
        grids[g] = new StringGrid(&window);
        grids[g]->setGeometry(310 * g, 0, 300, 200);
        grids[g]->setColCount(2);
        grids[g]->setRowCount(3);
        grids[g]->setEditing(true);
    }
    grids[0]->continueInto(grids[1]);
    std::vector<QString> edits;
    grids[0]->onSetEditText = [&](int, int, const QString& text) { edits.push_back(text); };
    ModalScript script(ModalScript::Mode::inWindowLoop);
    script.then([&](Form&) {
        grids[0]->setCurrentCell(1, 1);
        grids[0]->table()->setFocus();
        // Each Enter commits its row and the next name goes into the row below.
        for (const char* name : {"A", "B", "C"}) {
            typeText(&window, name);
            QTest::keyClick(keyTarget(&window), Qt::Key_Return);
        }
        EXPECT_EQ(grids[0]->cells(1, 1), "A");
        EXPECT_EQ(grids[0]->cells(1, 2), "B");
        EXPECT_EQ(grids[1]->cells(1, 1), "C");
        EXPECT_EQ(grids[1]->row(), 2);

        QTest::keyClick(keyTarget(&window), Qt::Key_Up);
        QTest::keyClick(keyTarget(&window), Qt::Key_Up);
        EXPECT_TRUE(grids[0]->table()->hasFocus());
        EXPECT_EQ(grids[0]->row(), 2);
        QTest::keyClick(grids[0]->table(), Qt::Key_Delete);
        EXPECT_EQ(grids[0]->cells(1, 2), "");
        EXPECT_EQ(edits.back(), "");
        typeText(&window, "D");
        QTest::keyClick(keyTarget(&window), Qt::Key_Down); // ↓ from an open editor
        EXPECT_EQ(grids[0]->cells(1, 2), "D");
        EXPECT_TRUE(grids[1]->table()->hasFocus());
        EXPECT_EQ(grids[1]->row(), 1);
        EXPECT_EQ(grids[1]->cells(1, 1), "C");
    });
    window.showModal();
}

TEST(StringGrid, AHandlerShowingAMessageMidEditLeavesTheEditorUsable)
{
    Form window;
    auto* grid = new StringGrid(&window);
    grid->setGeometry(0, 0, 300, 200);
    grid->setColCount(2);
    grid->setRowCount(3);
    grid->setEditing(true);
    MessageRecorder messages(MessageRecorder::Mode::showAndAnswer);
    grid->onSetEditText = [&](int col, int row, const QString& text) {
        if (text.contains('x')) {
            showMessage("refused");
            grid->setCells(col, row, QString());
        }
    };
    ModalScript script(ModalScript::Mode::inWindowLoop);
    script.then([&](Form&) {
        grid->setCurrentCell(1, 1);
        grid->table()->setFocus();
        typeText(grid->table(), "1x");
        QCoreApplication::processEvents(); // the next key comes through the event loop
        typeText(grid->table(), "23");
        EXPECT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(grid->cells(1, 1), "23");
    });
    window.showModal();
}
