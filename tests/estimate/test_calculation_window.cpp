// "Начать расчет" driven through the real windows: alleles typed into the allele window,
// its check showing the control window, counts typed with key events, the button pressed;
// then every result cell of the control window and of both report windows.
#include "estimate/gui/TForm2.h"
#include "estimate/gui/TForm3.h"
#include "platform/random.h"
#include "task/gui/Tantigen.h"
#include "task/gui/Tkontrol.h"
#include "task/task_state.h"
#include "tests/support/allele_entry.h"
#include "tests/support/print_qstring.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/typing.h"
#include "toolkit/message.h"

#include <QApplication>
#include <QClipboard>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <sys/wait.h>

namespace {

constexpr int countColumn = 2;

// Rows of cell texts, header row first.
using Table = std::vector<std::vector<QString>>;

Table tableOf(const StringGrid& grid)
{
    Table table;
    for (int row = 0; row < grid.rowCount(); ++row) {
        table.emplace_back();
        for (int col = 0; col < grid.colCount(); ++col)
            table.back().push_back(grid.cells(col, row));
    }
    return table;
}

// The cells of one column, rows 1 on.
std::vector<QString> column(const StringGrid& grid, int col)
{
    std::vector<QString> texts;
    for (int row = 1; row < grid.rowCount(); ++row)
        texts.push_back(grid.cells(col, row));
    return texts;
}

// A new task as the user makes it: alleles typed into the allele window, its button, and
// inside the control window the action (typing counts, pressing buttons).
void runNewTask(const std::vector<QString>& alleles, const std::function<void()>& action)
{
    enterAlleles(alleles);
    ModalScript script;
    script.then([&](Form&) {
        QApplication::setActiveWindow(kontrol);
        action();
    });
    antigen->Button1Click();
    ASSERT_EQ(script.shown, std::vector<QString>{"kontrol"});
}

void typeCounts(const std::vector<QString>& counts)
{
    for (std::size_t r = 0; r < counts.size(); ++r)
        if (!counts[r].isEmpty())
            typeIntoCell(kontrol->StringGrid3, countColumn, static_cast<int>(r) + 1, counts[r]);
}

// Pastes a whole count into the cell's editor, as a user can with a negative number (typed
// key by key, its lone "-" would be refused).
void pasteCount(int row, const QString& text)
{
    QApplication::setActiveWindow(kontrol);
    QTableWidget* table = kontrol->StringGrid3->table();
    table->setFocus();
    kontrol->StringGrid3->setCurrentCell(countColumn, row);
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(table, Qt::Key_F2);
    QWidget* editor = table->indexWidget(table->currentIndex());
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Return);
}

bool resultButtonsVisible()
{
    return !kontrol->Button4->isHidden() && !kontrol->Button5->isHidden() &&
           !kontrol->Button7->isHidden();
}

TEST(CalculationWindow, FillsEveryResultCell)
{
    // A, B, C, - with counts of an exact Hardy–Weinberg fit at p = (0.5, 0.3, 0, 0.2)
    // (N = 100): every criterion finds it, so every shown text is known by hand. The
    // phenotypes with C are left empty.
    MessageRecorder messages;
    runNewTask({"A", "B", "C", "-"}, [] {
        typeCounts({"45", "30", "", "21", "", "", "4"});
        kontrol->RadioButton2->setChecked(true); // МНК in the control window
        kontrol->Button2->click();
    });
    ASSERT_EQ(messages.messages, std::vector<QString>{"Расчет выполнен."});
    EXPECT_TRUE(resultButtonsVisible());

    const QString summary = "Хи^2 =  0.000 Степеней свободы =2 p=1.000";
    EXPECT_EQ(kontrol->Label4->text(), summary);
    EXPECT_EQ(Form3->Label1->text(), "МП     " + summary);
    EXPECT_EQ(Form3->Label2->text(), "МНК    " + summary);
    EXPECT_EQ(Form3->Label3->text(), "МННК   " + summary);

    // The control window: counts as typed, "0" where empty; МНК's columns.
    EXPECT_EQ(column(*kontrol->StringGrid3, 2),
              (std::vector<QString>{"45", "30", "0", "21", "0", "0", "4"}));
    EXPECT_EQ(column(*kontrol->StringGrid3, 3),
              (std::vector<QString>{"    45.00", "    30.00", "     0.00", "    21.00", "     0.00",
                                    "     0.00", "     4.00"}));
    EXPECT_EQ(column(*kontrol->StringGrid1, 2),
              (std::vector<QString>{"0.500", "0.300", "0.000", "0.200"}));

    for (int k = 1; k <= 3; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(column(*Form2->StringGrid1, k + 1),
                  (std::vector<QString>{"0.500", "0.300", "0.000", "0.200", "1"}));
        // A/A, A/B, A/C, A/-, B/B, B/C, B/-, C/C, C/-, -/-; sum, 1 − H, H (H = 0.62).
        EXPECT_EQ(column(*Form2->StringGrid2, k + 1),
                  (std::vector<QString>{"0.2500", "0.3000", "0.0000", "0.2000", "0.0900", "0.0000",
                                        "0.1200", "0.0000", "0.0000", "0.0400", "1.000", "0.380",
                                        "0.620"}));
        EXPECT_EQ(column(*Form2->StringGrid3, k + 2),
                  (std::vector<QString>{"     75.00", "     51.00", "      0.00"}));
        EXPECT_EQ(column(*Form2->StringGrid3, k + 6),
                  (std::vector<QString>{"0.750", "0.510", "0.000"}));
        EXPECT_EQ(column(*Form3->StringGrid1, k + 2),
                  (std::vector<QString>{"  45.00", "  30.00", "   0.00", "  21.00", "   0.00",
                                        "   0.00", "   4.00", " 100.00"}));
        EXPECT_EQ(column(*Form3->StringGrid1, k + 6),
                  (std::vector<QString>{"0.4500", "0.3000", "0.0000", "0.2100", "0.0000", "0.0000",
                                        "0.0400", "1.0000"}));
    }
    EXPECT_EQ(column(*Form2->StringGrid3, 2), (std::vector<QString>{"75", "51", "0"}));
    EXPECT_EQ(column(*Form2->StringGrid3, 6), (std::vector<QString>{"0.750", "0.510", "0.000"}));
    EXPECT_EQ(column(*Form3->StringGrid1, 2),
              (std::vector<QString>{"45", "30", "0", "21", "0", "0", "4", "100"}));
    EXPECT_EQ(column(*Form3->StringGrid1, 6),
              (std::vector<QString>{"0.4500", "0.3000", "0.0000", "0.2100", "0.0000", "0.0000",
                                    "0.0400", "1.0000"}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // the wait cursor is gone
}

TEST(CalculationWindow, RefusesANegativeCountWritingNothing)
{
    MessageRecorder messages;
    runNewTask({"A", "B"}, [] {
        typeCounts({"10", "", "20"});
        pasteCount(2, "-5"); // refused as it enters
        ASSERT_EQ(kontrol->Label1->text(), "30");
        // The calculation refuses it too, should a cell ever hold one.
        kontrol->StringGrid3->setCells(countColumn, 2, "-5");
        kontrol->Button2->click();
    });
    EXPECT_EQ(messages.messages,
              (std::vector<QString>{"Допустимы только целые числа меньше 20000000",
                                    "Поголовье фенотипа «A B» отрицательно (-5). Расчет не "
                                    "выполнен."}));
    EXPECT_FALSE(resultButtonsVisible());
    EXPECT_EQ(column(*kontrol->StringGrid3, 3), (std::vector<QString>{"", "", ""}));
    EXPECT_EQ(column(*kontrol->StringGrid1, 2), (std::vector<QString>{"", ""}));

    runNewTask({"A", "B"}, [] { kontrol->Button2->click(); });
    EXPECT_EQ(messages.last(), "Введите фактическое поголовье фенотипов!");
    EXPECT_EQ(column(*kontrol->StringGrid3, 2), (std::vector<QString>{"", "", ""}));
    EXPECT_FALSE(resultButtonsVisible());
}

// velimor-calc run on a task file, its standard output split into sections.
std::map<std::string, std::vector<std::string>> calculatorSections(const std::string& taskText,
                                                                   const std::string& arguments)
{
    const ScratchFolder folder;
    const std::string file = folder.writeText("task.txt", taskText);
    FILE* pipe = popen((std::string(VELIMOR_CALC) + " " + arguments + " " + file).c_str(), "r");
    std::string output;
    char buffer[4096];
    for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    const int status = pipe ? pclose(pipe) : -1;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
    std::map<std::string, std::vector<std::string>> sections;
    std::istringstream lines(output);
    std::string heading;
    for (std::string line; std::getline(lines, line);) {
        if (line.size() > 2 && line.front() == '[' && line.back() == ']')
            heading = line;
        else if (!line.empty())
            sections[heading].push_back(line);
    }
    return sections;
}

std::vector<std::string> linesOf(const Table& table)
{
    std::vector<std::string> lines;
    for (const auto& row : table) {
        QStringList cells(row.begin(), row.end());
        lines.push_back(cells.join('\t').toStdString());
    }
    return lines;
}

TEST(CalculationWindow, CalculatorShowsTheSameTextsOnTheSameSeed)
{
    const std::vector<QString> counts = {"186", "13", "38", "284"};
    MessageRecorder messages;
    runNewTask({"A", "B", "-"}, [&] {
        typeCounts(counts);
        kontrol->RadioButton3->setChecked(true);
        seedRandom(20240611);
        kontrol->Button2->click();
    });
    ASSERT_EQ(messages.last(), "Расчет выполнен.");

    auto sections = calculatorSections("allele A\nallele B\nallele -\n186 A\n13 A B\n38 B\n284 -\n",
                                       "--seed 20240611 --criterion 3");
    EXPECT_EQ(sections["[alleles]"], linesOf(tableOf(*Form2->StringGrid1)));
    EXPECT_EQ(sections["[genotypes]"], linesOf(tableOf(*Form2->StringGrid2)));
    EXPECT_EQ(sections["[tests]"], linesOf(tableOf(*Form2->StringGrid3)));
    EXPECT_EQ(sections["[phenotypes]"], linesOf(tableOf(*Form3->StringGrid1)));
    EXPECT_EQ(sections["[fit]"], (std::vector<std::string>{Form3->Label1->text().toStdString(),
                                                           Form3->Label2->text().toStdString(),
                                                           Form3->Label3->text().toStdString()}));
    std::vector<std::string> control = linesOf(tableOf(*kontrol->StringGrid1));
    for (const std::string& line : linesOf(tableOf(*kontrol->StringGrid3)))
        control.push_back(line);
    control.push_back(kontrol->Label4->text().toStdString());
    EXPECT_EQ(sections["[control]"], control);
}

} // namespace
