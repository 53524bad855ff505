// A task's whole road through the windows: a new task typed in, counted and calculated,
// saved into the archive; then opened from the archive window, where the control window
// shows the same alleles, mode, criterion and counts, and a new calculation on the same seed
// shows the same results.
#include "app/TForm1.h"
#include "archive/gui/Tarhiv.h"
#include "estimate/gui/TForm2.h"
#include "estimate/gui/TForm3.h"
#include "platform/random.h"
#include "task/gui/Tantigen.h"
#include "task/gui/Tkontrol.h"
#include "tests/archive/archive_windows.h"
#include "tests/support/print_qstring.h"
#include "tests/support/typing.h"
#include "toolkit/message.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint64_t seed = 20240305;

using GridTexts = std::vector<std::vector<QString>>;

GridTexts textsOf(const StringGrid& grid)
{
    GridTexts texts;
    for (int row = 0; row < grid.rowCount(); ++row) {
        texts.emplace_back();
        for (int col = 0; col < grid.colCount(); ++col)
            texts.back().push_back(grid.cells(col, row));
    }
    return texts;
}

// What the user sees of a task and its results.
struct Screen
{
    bool codominance = false;
    int criterion = 0;
    GridTexts alleles, tests, phenotypes;
    QString total, summary;
    GridTexts alleleReport, genotypeReport, testReport, phenotypeReport;
    std::vector<QString> fitLabels;
};

Screen screen()
{
    Screen s;
    s.codominance = antigen->RadioButton1->isChecked();
    s.criterion = kontrol->RadioButton1->isChecked()   ? 1
                  : kontrol->RadioButton2->isChecked() ? 2
                  : kontrol->RadioButton3->isChecked() ? 3
                                                       : 0;
    s.alleles = textsOf(*kontrol->StringGrid1);
    s.tests = textsOf(*kontrol->StringGrid2);
    s.phenotypes = textsOf(*kontrol->StringGrid3);
    s.total = kontrol->Label1->text();
    s.summary = kontrol->Label4->text();
    s.alleleReport = textsOf(*Form2->StringGrid1);
    s.genotypeReport = textsOf(*Form2->StringGrid2);
    s.testReport = textsOf(*Form2->StringGrid3);
    s.phenotypeReport = textsOf(*Form3->StringGrid1);
    s.fitLabels = {Form3->Label1->text(), Form3->Label2->text(), Form3->Label3->text()};
    return s;
}

// The task's inputs as the control window shows them: its result cells left out.
Screen inputsOf(Screen s)
{
    for (auto& row : s.alleles)
        row.resize(2);
    for (auto& row : s.phenotypes)
        row[3].clear();
    s.summary.clear();
    s.alleleReport = s.genotypeReport = s.testReport = s.phenotypeReport = {};
    s.fitLabels = {};
    return s;
}

void expectSame(const Screen& got, const Screen& expected)
{
    EXPECT_EQ(got.codominance, expected.codominance);
    EXPECT_EQ(got.criterion, expected.criterion);
    EXPECT_EQ(got.alleles, expected.alleles);
    EXPECT_EQ(got.tests, expected.tests);
    EXPECT_EQ(got.phenotypes, expected.phenotypes);
    EXPECT_EQ(got.total, expected.total);
    EXPECT_EQ(got.summary, expected.summary);
    EXPECT_EQ(got.alleleReport, expected.alleleReport);
    EXPECT_EQ(got.genotypeReport, expected.genotypeReport);
    EXPECT_EQ(got.testReport, expected.testReport);
    EXPECT_EQ(got.phenotypeReport, expected.phenotypeReport);
    EXPECT_EQ(got.fitLabels, expected.fitLabels);
}

} // namespace

TEST(ArchiveRoundTrip, AnOpenedTaskShowsWhatWasSavedAndCalculatesTheSame)
{
    startWithEmptyArchive();
    MessageRecorder messages;
    Screen calculated;
    ModalScript script;
    script.then([](Form&) { // the allele window
        typeIntoCell(antigen->StringGrid1, 1, 1, "A");
        typeIntoCell(antigen->StringGrid1, 1, 2, "B");
        typeIntoCell(antigen->StringGrid1, 1, 3, "-");
        antigen->Button1->click();
    });
    script.then([&](Form&) { // the control window
        const QStringList counts = {"186", "13", "38", "284"};
        for (int r = 1; r <= counts.size(); ++r)
            typeIntoCell(kontrol->StringGrid3, 2, r, counts[r - 1]);
        kontrol->RadioButton3->setChecked(true);
        seedRandom(seed);
        kontrol->Button2->click();
        calculated = screen();
        kontrol->Button3->click();
    });
    script.then(typingName("Группа крови АВ0, 2024"));
    Form1->Button2Click(); // "Новая задача"
    ASSERT_EQ(script.shown, (std::vector<QString>{"antigen", "kontrol", "Form6"}));
    ASSERT_EQ(messages.messages, std::vector<QString>{"Расчет выполнен."});
    ASSERT_EQ(calculated.total, "521");
    ASSERT_EQ(calculated.criterion, 3);
    ASSERT_FALSE(calculated.summary.trimmed().isEmpty());

    Screen opened;
    Screen recalculated;
    script.then([](Form&) { // the archive window
        EXPECT_EQ(listedNames(), QStringList{"Группа крови АВ0, 2024"});
        clickListLine(0);
        arhiv->Button1->click();
    });
    script.then([&](Form&) { // the control window of the opened task
        opened = screen();
        seedRandom(seed);
        kontrol->Button2->click();
        recalculated = screen();
    });
    Form1->Button1Click(); // "Архив задач"
    ASSERT_EQ(script.shown,
              (std::vector<QString>{"antigen", "kontrol", "Form6", "arhiv", "kontrol"}));
    EXPECT_EQ(messages.messages, (std::vector<QString>{"Расчет выполнен.", "Расчет выполнен."}));
    EXPECT_EQ(opened.total, "521");
    EXPECT_EQ(opened.summary, "");
    expectSame(inputsOf(opened), inputsOf(calculated));
    expectSame(recalculated, calculated);
}
