// The statistics window driven through the real windows: the control window's button
// appears and hides with the report buttons, the window shows the immediate figures, a
// replicate run fills its columns, a cancelled run leaves nothing, and a chart is saved as
// a PNG picture.
#include "estimate/gui/TStatisticsForm.h"
#include "platform/cp1251.h"
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
#include <QBarSeries>
#include <QBarSet>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int countColumn = 2;

// Alleles typed into the allele window, counts typed into the control window, the
// calculation run; then the action inside the control window.
void calculate(const std::vector<QString>& alleles, const std::vector<QString>& counts,
               const std::function<void()>& action)
{
    enterAlleles(alleles);
    seedRandom(3);
    MessageRecorder messages;
    ModalScript script;
    script.then([&](Form&) {
        QApplication::setActiveWindow(kontrol);
        for (std::size_t r = 0; r < counts.size(); ++r)
            typeIntoCell(kontrol->StringGrid3, countColumn, static_cast<int>(r) + 1, counts[r]);
        EXPECT_TRUE(kontrol->Button8->isHidden()); // set-up and typing hide it
        kontrol->Button2->click();
        ASSERT_EQ(messages.last(), "Расчет выполнен.");
        action();
    });
    antigen->Button1Click();
}

// Opens the statistics window from the control window and acts in it.
void inStatisticsWindow(const std::function<void(TStatisticsForm&)>& action)
{
    ModalScript script;
    script.then([&](Form&) { action(*StatisticsForm); });
    kontrol->Button8->click();
    EXPECT_EQ(script.shown, std::vector<QString>{"StatisticsForm"});
}

// Waits for the replicate run to end, the event loop going on as in the window.
void waitForRun(TStatisticsForm& form)
{
    for (int i = 0; i < 2000 && form.running(); ++i)
        QTest::qWait(20);
    ASSERT_FALSE(form.running());
}

QString cell(const StringGrid* grid, int col, int row)
{
    return grid->cells(col, row).trimmed();
}

} // namespace

TEST(StatisticsWindow, ButtonShowsWithTheReportButtons)
{
    calculate({"A", "B"}, {"36", "48", "16"}, [] {
        EXPECT_FALSE(kontrol->Button8->isHidden());
        EXPECT_EQ(kontrol->Button8->text(), "Статистика и графики");
        typeIntoCell(kontrol->StringGrid3, countColumn, 1, "37");
        EXPECT_TRUE(kontrol->Button8->isHidden());
        EXPECT_TRUE(kontrol->Button4->isHidden());
    });
}

TEST(StatisticsWindow, ShowsTheFiguresAndTheReplicates)
{
    // 36, 48, 16 (N = 100): p = 0.6 by every criterion, SE √(0.24 / 200) = 0.03464, Wald
    // interval 0.6 ± 1.96 · 0.03464; df 2 less one estimated frequency; residuals 0.
    calculate({"A", "B"}, {"36", "48", "16"}, [] {
        inStatisticsWindow([](TStatisticsForm& form) {
            const StringGrid* alleles = form.StringGrid1;
            EXPECT_EQ(cell(alleles, 1, 1), "A");
            EXPECT_EQ(cell(alleles, 2, 1), "0.60000");
            EXPECT_EQ(cell(alleles, 3, 1), "0.03464");
            EXPECT_EQ(cell(alleles, 4, 1), "0.53210 – 0.66790");
            EXPECT_EQ(cell(alleles, 5, 1), ""); // no bootstrap yet
            // Four rows per criterion: the report's line, the same chi-square less the
            // estimated frequency, X² and G² on the three classes.
            const StringGrid* fit = form.StringGrid2;
            EXPECT_EQ(cell(fit, 0, 1), "МП");
            EXPECT_EQ(cell(fit, 3, 1), "2");
            EXPECT_EQ(cell(fit, 4, 1), "1.000");
            EXPECT_EQ(cell(fit, 3, 2), "1");
            EXPECT_EQ(cell(fit, 4, 2), "1.0000");
            EXPECT_EQ(cell(fit, 0, 8), "МНК");
            EXPECT_EQ(cell(fit, 1, 8), "G^2 по фенотипам");
            EXPECT_EQ(cell(fit, 3, 8), "1");
            EXPECT_EQ(cell(fit, 5, 3), "");
            EXPECT_EQ(form.Label4->text(), ""); // not saturated
            EXPECT_EQ(form.Label6->text(), ""); // every phenotype observed
            EXPECT_EQ(cell(form.StringGrid3, 4, 2), "0.000");
            EXPECT_FALSE(form.Label1->text().isEmpty());
            const auto* bars = qobject_cast<QBarSeries*>(form.ChartView1->chart()->series()[0]);
            ASSERT_NE(bars, nullptr);
            EXPECT_EQ(bars->barSets()[0]->count(), 3);
            EXPECT_EQ(bars->barSets()[0]->at(1), 48);
            // Codominance at p = 0.6: MP = 0.36² + 0.48² + 0.16², trio exclusion pq(1 − pq),
            // PIC = H − 2p²q².
            const StringGrid* figures = form.StringGrid4;
            EXPECT_EQ(cell(figures, 1, 1), "0.38560");
            EXPECT_EQ(cell(figures, 1, 3), "0.18240");
            EXPECT_EQ(cell(figures, 1, 5), "0.36480");
            EXPECT_EQ(cell(figures, 1, 6), "0.48000");
            EXPECT_EQ(cell(figures, 2, 2), "");

            form.SpinEdit1->setValue(200);
            form.Button1->click();
            EXPECT_TRUE(form.running());
            EXPECT_TRUE(form.Button2->isEnabled());
            waitForRun(form);
            EXPECT_EQ(form.Label3->text(), "Рассчитано повторений: 200.");
            // Exact fit: every Monte-Carlo statistic reaches the observed 0.
            EXPECT_EQ(cell(fit, 5, 1), "-");
            for (int row : {2, 3, 4, 12})
                EXPECT_EQ(cell(fit, 5, row), "1.0000") << row;
            const double bootstrapError = cell(alleles, 5, 1).toDouble();
            EXPECT_GT(bootstrapError, 0.025);
            EXPECT_LT(bootstrapError, 0.045);
            EXPECT_TRUE(cell(alleles, 6, 1).contains("–"));
            EXPECT_FALSE(cell(alleles, 12, 2).isEmpty()); // МННК's interval of B
            for (int row : {2, 3, 4})
                EXPECT_LE(cell(figures, 2, row).toDouble(), cell(figures, 3, row).toDouble());
            EXPECT_GT(cell(figures, 3, 3).toDouble(), 0.15);
        });
    });
}

TEST(StatisticsWindow, SaysWhereTheFiguresMeanNothing)
{
    // B never observed: A B and B are empty, so the model is saturated and the bootstrap
    // cannot draw them; the frequency of B stays 0 in every sample.
    calculate({"A", "B", "-"}, {"30", "0", "0", "70"}, [] {
        inStatisticsWindow([](TStatisticsForm& form) {
            EXPECT_TRUE(form.Label4->text().startsWith("Модель насыщена: "))
                << form.Label4->text().toStdString();
            EXPECT_EQ(form.Label6->text(),
                      "Фенотипы «A B», «B» в выборке не встречаются: бутстреп берет выборки "
                      "только из наблюдавшихся фенотипов, и его ошибки и интервалы занижены; "
                      "опирайтесь на интервал Вальда (МП), где он определен.");
            form.SpinEdit1->setValue(100);
            form.Button1->click();
            waitForRun(form);
            EXPECT_TRUE(form.Label6->text().endsWith(
                "Частота аллеля «B» не меняется в повторениях бутстрепа: его нулевая ошибка "
                "ничего не говорит о точности; опирайтесь на интервал Вальда (МП), где он "
                "определен."))
                << form.Label6->text().toStdString();
            for (int row = 2; row <= 12; ++row)
                EXPECT_EQ(cell(form.StringGrid2, 5, row), row % 4 == 1 ? "-" : "не определено");
        });
    });
}

TEST(StatisticsWindow, SavesTheStatisticsWorkbook)
{
    const ScratchFolder folder;
    const QString path = QString::fromStdString(folder.file("statistics")); // the suffix is added
    QString chosen = path;
    TStatisticsForm::setWorkbookFileChooserForTests([&] { return chosen; });
    QString estimate;
    calculate({"A", "B", "-"}, {"186", "13", "38", "284"}, [&] {
        task.archiveName = toCp1251("Стадо 1"); // saved to the archive after the calculation
        inStatisticsWindow([&](TStatisticsForm& form) {
            estimate = cell(form.StringGrid1, 2, 1);
            MessageRecorder messages;
            form.Button5->click();
            EXPECT_TRUE(messages.messages.empty());
            chosen = QString::fromStdString(folder.file("no/statistics.xlsx"));
            form.Button5->click();
            EXPECT_EQ(messages.last(), "Не удалось сохранить книгу результатов в файле «" + chosen +
                                           "»: папка не найдена.");
        });
    });
    TStatisticsForm::setWorkbookFileChooserForTests({});
    // Read back by openpyxl: the title line and the first allele's estimate.
    QProcess python;
    python.start(VELIMOR_PYTHON,
                 {"-c",
                  "import openpyxl, sys\n"
                  "book = openpyxl.load_workbook(sys.argv[1])\n"
                  "alleles = book['Аллели']\n"
                  "print(book.sheetnames, alleles['A1'].value, f\"{alleles['C4'].value:.5f}\",\n"
                  "      book['Родство']['A2'].value)",
                  path + ".xlsx"});
    ASSERT_TRUE(python.waitForFinished(30000));
    EXPECT_EQ(QString::fromUtf8(python.readAllStandardOutput()).trimmed(),
              "['Аллели', 'Согласие', 'Остатки', 'Родство'] Задача: Стадо 1 " + estimate +
                  " Вероятность совпадения (MP)");
}

TEST(StatisticsWindow, CancelledRunShowsNothing)
{
    calculate({"A", "B", "-"}, {"186", "13", "38", "284"}, [] {
        inStatisticsWindow([](TStatisticsForm& form) {
            form.SpinEdit1->setValue(100000);
            form.Button1->click();
            for (int i = 0; i < 500 && form.ProgressBar1->value() == 0; ++i)
                QTest::qWait(20);
            EXPECT_GT(form.ProgressBar1->value(), 0);
            form.Button2->click();
            waitForRun(form);
            EXPECT_EQ(form.Label3->text(), "Расчет повторений отменен.");
            EXPECT_EQ(form.ProgressBar1->value(), 0);
            for (int row = 1; row <= 3; ++row)
                EXPECT_EQ(cell(form.StringGrid1, 5, row), "");
            for (int row = 2; row <= 12; ++row)
                EXPECT_EQ(cell(form.StringGrid2, 5, row), row % 4 == 1 ? "-" : "");
            EXPECT_TRUE(form.Button1->isEnabled());
            EXPECT_FALSE(form.Button2->isEnabled());
        });
    });
}

TEST(StatisticsWindow, SavesTheChartAsPng)
{
    const ScratchFolder folder;
    const QString path = QString::fromStdString(folder.file("chart.png"));
    TStatisticsForm::setImageFileChooserForTests([&] { return path; });
    calculate({"A", "B", "-"}, {"186", "13", "38", "284"}, [] {
        inStatisticsWindow([](TStatisticsForm& form) {
            // Largest absolute МП residual first, on request.
            form.Button4->click();
            const StringGrid* residuals = form.StringGrid3;
            for (int row = 1; row < 4; ++row)
                EXPECT_GE(std::fabs(cell(residuals, 4, row).toDouble()),
                          std::fabs(cell(residuals, 4, row + 1).toDouble()));
            form.Button4->click();
            EXPECT_EQ(cell(residuals, 0, 1), "1");

            form.PageControl1->setCurrentIndex(0);
            EXPECT_FALSE(form.Button3->isEnabled()); // the tables are on screen
            form.PageControl1->setCurrentIndex(4);
            ASSERT_TRUE(form.Button3->isEnabled());
            form.Button3->click();
        });
    });
    TStatisticsForm::setImageFileChooserForTests({});
    const QImage image(path);
    EXPECT_FALSE(image.isNull());
    EXPECT_GT(image.width(), 100);
}
