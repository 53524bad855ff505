// The workbook the windows export after "Начать расчет" is the workbook velimor-calc --xlsx
// writes for the same task file and seed.
#include "app/TForm1.h"
#include "export/gui/export_window.h"
#include "platform/random.h"
#include "task/gui/Tantigen.h"
#include "task/gui/Tkontrol.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/typing.h"
#include "toolkit/message.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <map>

namespace {
constexpr std::uint64_t seed = 20260307;

struct SampleTask
{
    bool dominance;
    QStringList alleles;
    std::map<QString, QString> counts; // by phenotype name as the control window shows it
    int criterion;
};

QString taskFileText(const SampleTask& sample)
{
    QString text = sample.dominance ? "mode dominance\n" : "mode codominance\n";
    for (const QString& allele : sample.alleles)
        text += "allele " + allele + "\n";
    for (const auto& [phenotype, count] : sample.counts)
        text += count + " " + phenotype + "\n";
    return text;
}

// Types the task into the allele and control windows, calculates on the seed and exports.
// Returns the path of the exported workbook.
QString exportThroughTheWindows(const SampleTask& sample, const QString& folder)
{
    std::vector<QString> opened;
    setExportDesktopForTests({[folder] { return folder; },
                              [&opened](const QString& path) {
                                  opened.push_back(path);
                                  return true;
                              }});
    MessageRecorder messages;
    ModalScript script;
    script.then([&](Form&) {
        antigen->layOutGrids(true);
        for (int i = 0; i < sample.alleles.size(); ++i)
            typeIntoCell(antigen->StringGrid1, 1, i + 1, sample.alleles[i]);
        (sample.dominance ? antigen->RadioButton2 : antigen->RadioButton1)->setChecked(true);
        antigen->Button1->click();
    });
    script.then([&](Form&) {
        StringGrid* phenotypes = kontrol->StringGrid3;
        for (int r = 1; r < phenotypes->rowCount(); ++r) {
            const auto count = sample.counts.find(phenotypes->cells(1, r).trimmed());
            if (count != sample.counts.end()) typeIntoCell(phenotypes, 2, r, count->second);
        }
        RadioButton* criteria[] = {kontrol->RadioButton1, kontrol->RadioButton2,
                                   kontrol->RadioButton3};
        criteria[sample.criterion - 1]->setChecked(true);
        seedRandom(seed);
        kontrol->Button2->click();
        kontrol->Button7->click();
    });
    Form1->Button2Click(); // "Новая задача"
    setExportDesktopForTests({});
    EXPECT_EQ(messages.messages, std::vector<QString>{"Расчет выполнен."});
    return opened.size() == 1 ? opened.front() : QString();
}

// Runs a program; returns its exit code, with its output added to the failure text.
int run(const QString& program, const QStringList& arguments, QString& output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(60000);
    output += QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void expectSameWorkbook(const SampleTask& sample)
{
    const ScratchFolder folder;
    const QString taskFile = QString::fromStdString(folder.file("task.txt"));
    QFile file(taskFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(taskFileText(sample).toUtf8());
    file.close();

    const QString exported =
        exportThroughTheWindows(sample, QString::fromStdString(folder.path().string()));
    ASSERT_FALSE(exported.isEmpty());
    const QString written = QString::fromStdString(folder.file("calc.xlsx"));
    QString output;
    ASSERT_EQ(run(VELIMOR_CALC,
                  {"--seed", QString::number(seed), "--criterion",
                   QString::number(sample.criterion), "--xlsx", written, taskFile},
                  output),
              0)
        << output.toStdString();
    output.clear();
    EXPECT_EQ(run(VELIMOR_PYTHON, {COMPARE_WORKBOOKS, exported, written}, output), 0)
        << output.toStdString();
}
} // namespace

TEST(ExportSameAsCalc, CodominanceTask)
{
    expectSameWorkbook(
        {false, {"A", "B", "-"}, {{"A", "186"}, {"A B", "13"}, {"B", "38"}, {"-", "284"}}, 3});
}

TEST(ExportSameAsCalc, DominanceTaskWithAPhenotypeLeftEmpty)
{
    expectSameWorkbook(
        {true, {"A C", "B", "C", "-"}, {{"A C", "51"}, {"B", "33"}, {"-", "16"}}, 2});
}
