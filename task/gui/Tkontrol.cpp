#include "task/gui/Tkontrol.h"

#include "archive/gui/TDataModule4.h"
#include "archive/gui/count_table_import_window.h"
#include "archive/gui/save_task_window.h"
#include "estimate/gui/TForm2.h"
#include "estimate/gui/TForm3.h"
#include "estimate/gui/TStatisticsForm.h"
#include "estimate/gui/calculation_window.h"
#include "estimate/gui/result_cells.h"
#include "estimate/report_grids.h"
#include "export/gui/export_window.h"
#include "tables/archive_schema.h"
#include "task/count_entry.h"
#include "task/gui/TForm9.h"
#include "task/gui/Tantigen.h"
#include "task/phenotypes.h"
#include "task/task_state.h"
#include "toolkit/list_grid.h"
#include "toolkit/message.h"
#include "toolkit/qt_text.h"

#include <QStringList>
#include <QTableWidget>

#include <vector>

Tkontrol* kontrol = nullptr;

Tkontrol::Tkontrol()
{
    setObjectName("kontrol");
    setWindowTitle("Проверьте списки аллелей и тестов. Если нет ошибок, введите фактическое "
                   "поголовье фенотипов и нажмите кнопку \"Начать расчет\".");
    placeAsFullWindow();

    StringGrid1 = makeListGrid(this, 8, 8, 200, 290);
    StringGrid1->setFont(narrowFont(7)); // the small font of the allele list
    StringGrid2 = makeListGrid(this, 216, 8, 200, 290);

    Label5 = new Label("Выберите критерий:", this);
    Label5->setGeometry(432, 8, 260, 18);
    RadioButton1 = new RadioButton("Максимум правдоподобия - МП", this);
    RadioButton1->setGeometry(440, 28, 520, 22);
    RadioButton2 = new RadioButton("Метод наименьших квадратов - МНК", this);
    RadioButton2->setGeometry(440, 50, 520, 22);
    RadioButton3 = new RadioButton("Метод нормированных наименьших квадратов - МННК", this);
    RadioButton3->setGeometry(440, 72, 520, 22);
    RadioButton1->setChecked(true);
    // The counts of many populations of this task's alleles, from a spreadsheet's table.
    Button9 = new Button("Импорт таблицы численностей", this, [this] { Button9Click(); });
    Button9->setGeometry(706, 2, 266, 24);

    // The report and export buttons appear after a calculation, in the rows below the
    // first two; the finishing button stands apart.
    Button1 = new Button("Корректировать аллели", this, [this] { Button1Click(); });
    Button1->setGeometry(432, 106, 266, 34);
    Button2 = new Button("Начать расчет", this, [this] { Button2Click(); });
    Button2->setGeometry(706, 106, 266, 34);
    Button3 = new Button("Записать задачу в архив", this, [this] { Button3Click(); });
    Button3->setGeometry(432, 146, 266, 34);
    Button7 = new Button("Импорт результатов в Excel", this, [this] { Button7Click(); });
    Button7->setGeometry(706, 146, 266, 34);
    Button4 =
        new Button("Полный отчет по аллелям, генотипам и тестам", this, [this] { Button4Click(); });
    Button4->setGeometry(432, 186, 540, 34);
    Button5 = new Button("Полный отчет по фенотипам", this, [this] { Button5Click(); });
    Button5->setGeometry(432, 226, 540, 34);
    Button8 = new Button("Статистика и графики", this, [this] { Button8Click(); });
    Button8->setGeometry(432, 266, 266, 32);
    Button6 = new Button("Завершить работу с проограммой", this, [this] { Button6Click(); });
    Button6->setGeometry(706, 266, 266, 32);

    StringGrid3 = makeListGrid(this, 8, 306, 964, 366);
    StringGrid3->onSelectCell = [this](int col, int row) { StringGrid3SelectCell(col, row); };
    StringGrid3->acceptsEdit = [this](int col, int, const QString& text) {
        return StringGrid3AcceptEdit(col, text);
    };
    StringGrid3->onSetEditText = [this](int col, int row, const QString& text) {
        StringGrid3SetEditText(col, row, text);
    };
    StringGrid3->onPaste = [this](int col, int row, const QString& text) {
        StringGrid3Paste(col, row, text);
    };

    Label2 = new Label("Всего:", this);
    Label2->setGeometry(8, 682, 44, 20);
    Label1 = new Label("0", this);
    Label1->setGeometry(56, 682, 120, 20);
    Label4 = new Label(QString(), this);
    Label4->setGeometry(184, 682, 788, 20);

    layOutListGrids();
    hideResultButtons();
}

void Tkontrol::FormActivate()
{
    setUpControlWindow();
}

bool Tkontrol::FormCloseQuery()
{
    return confirmLosingCounts("Закрыть окно?");
}

bool Tkontrol::confirmLosingCounts(const QString& action)
{
    if (!countsUnsaved_) return true;
    if (!askQuestion("Поголовье фенотипов, введенное после последней записи задачи в архив, "
                     "будет потеряно. " +
                     action))
        return false;
    countsUnsaved_ = false;
    return true;
}

void Tkontrol::layOutListGrids()
{
    layOutColumns(*StringGrid1, chosenAlleleLayout(), {20, 107, 48});
    layOutColumns(*StringGrid2, testListLayout(), {20, 160});
    layOutColumns(*StringGrid3, phenotypeListLayout(), {24, 120, 50, 50, 890});
}

void Tkontrol::setUpControlWindow()
{
    // Counts put into the grid by the archive window survive this one set-up only.
    const bool keepCounts = task.archiveMode && task.archiveCountsPending;

    Form2->layOutColumns();
    Form3->layOutColumns();
    if (keepCounts) {
        selectCriterion(DataModule4->currentTaskCode(fitCriterionField));
    } else {
        RadioButton1->setChecked(true);
        showTotal(0);
    }
    Label4->setText(QString());
    hideResultButtons();
    layOutListGrids();

    showAlleles();
    Form2->showAlleles(task);
    showTests();
    Form2->showTests(task);

    const InheritanceMode mode = antigen->RadioButton1->isChecked() ? InheritanceMode::codominance
                                                                    : InheritanceMode::dominance;
    if (!generatePhenotypes(task, mode)) {
        showMessage(phenotypeLimitMessage());
        return;
    }
    // The genotype report is laid out in both modes: the calculation writes genotype
    // frequencies into these rows whatever the mode, and they need their names.
    Form2->showGenotypes(task);

    const std::int64_t archivedTotal = showPhenotypes(keepCounts);
    if (keepCounts) showTotal(archivedTotal);
    Form3->showPhenotypes(task);

    for (StringGrid* grid : {StringGrid1, StringGrid2})
        grid->setCurrentCell(1, 1);
    // Typing starts in the count of the first phenotype.
    StringGrid3->setCurrentCell(countColumn, 1);
    StringGrid3SelectCell(countColumn, 1);
    StringGrid3->table()->setFocus();
    task.archiveCountsPending = false;
    countsUnsaved_ = false;
}

void Tkontrol::showAlleles()
{
    showNumberedRows(*StringGrid1, chosenAlleleLayout(),
                     listEntries(task.alleleNames, task.alleleCount));
    for (int r = 1; r <= task.alleleCount; ++r)
        StringGrid1->setCells(2, r, QString());
}

void Tkontrol::showTests()
{
    showNumberedRows(*StringGrid2, testListLayout(), listEntries(task.testNames, task.testCount));
}

std::int64_t Tkontrol::showPhenotypes(bool keepCounts)
{
    StringGrid3->setRowCount(task.phenotypeCount + 1);
    std::int64_t sum = 0;
    for (int r = 1; r <= task.phenotypeCount; ++r) {
        StringGrid3->setCp1251Cell(1, r, task.phenotypeNames[r]);
        StringGrid3->setCp1251Cell(4, r, genotypeClassText(task, r));
        StringGrid3->setCells(0, r, QString::number(r));
        if (keepCounts)
            sum += countValue(StringGrid3->cp1251Cell(countColumn, r));
        else
            StringGrid3->setCells(countColumn, r, QString());
        StringGrid3->setCells(3, r, QString());
    }
    return sum;
}

void Tkontrol::selectCriterion(int code)
{
    if (code == static_cast<int>(FitCriterion::maximumLikelihood)) RadioButton1->setChecked(true);
    if (code == static_cast<int>(FitCriterion::leastSquares)) RadioButton2->setChecked(true);
    if (code == static_cast<int>(FitCriterion::normalisedLeastSquares))
        RadioButton3->setChecked(true);
}

std::int64_t Tkontrol::columnTotal(int col) const
{
    std::vector<Cp1251Text> cells;
    cells.reserve(StringGrid3->rowCount());
    for (int r = 1; r < StringGrid3->rowCount(); ++r)
        cells.push_back(StringGrid3->cp1251Cell(col, r));
    return countTotal(cells);
}

void Tkontrol::showTotal(std::int64_t total)
{
    Label1->setText(QString::number(total));
}

void Tkontrol::showResultButtons(bool shown)
{
    for (Button* button : {Button4, Button5, Button7, Button8})
        button->setVisible(shown);
}

int Tkontrol::criterionCode() const
{
    if (RadioButton1->isChecked()) return static_cast<int>(FitCriterion::maximumLikelihood);
    if (RadioButton2->isChecked()) return static_cast<int>(FitCriterion::leastSquares);
    if (RadioButton3->isChecked()) return static_cast<int>(FitCriterion::normalisedLeastSquares);
    return 0;
}

void Tkontrol::showResults(const ReportTables& tables)
{
    results_ = tables;
    showResultColumns(*StringGrid1, tables.chosenAlleles, 2, 2);
    showResultColumns(*StringGrid3, tables.phenotypeList, static_cast<std::size_t>(countColumn), 3);
    Label4->setText(toQString(tables.chosenSummary));
}

void Tkontrol::markCountsEdited()
{
    Label4->setText(" ");
    hideResultButtons();
    countsUnsaved_ = true;
}

void Tkontrol::StringGrid3SelectCell(int col, int)
{
    StringGrid3->setEditing(col == countColumn);
}

bool Tkontrol::StringGrid3AcceptEdit(int col, const QString& text)
{
    if (col != countColumn || text.isEmpty() || isAcceptableCount(text.toStdString())) return true;
    showMessage(countRefusalMessage());
    return false;
}

void Tkontrol::StringGrid3SetEditText(int col, int, const QString&)
{
    markCountsEdited();
    showTotal(columnTotal(col));
}

void Tkontrol::StringGrid3Paste(int col, int row, const QString& text)
{
    if (col != countColumn) return;
    const std::vector<std::string> counts = pastedCounts(text.toStdString());
    const int rowsBelow = StringGrid3->rowCount() - row;
    const int pasted = std::min(static_cast<int>(counts.size()), rowsBelow);
    QStringList refusedRows;
    for (int i = 0; i < pasted; ++i) {
        const std::string& count = counts[i];
        if (count.empty() || isAcceptableCount(count))
            StringGrid3->setCells(col, row + i, QString::fromStdString(count));
        else
            refusedRows << QString::number(row + i);
    }
    if (refusedRows.size() < pasted) {
        markCountsEdited();
        showTotal(columnTotal(col));
    }
    if (!refusedRows.isEmpty())
        showMessage(QString::fromStdString(countRefusalMessage()) +
                    "\nНе изменены строки: " + refusedRows.join(", ") + ".");
    if (pasted < static_cast<int>(counts.size()))
        showMessage(QString("Строк в буфере обмена больше, чем фенотипов от текущей строки до "
                            "конца списка: %1 последних не вставлено.")
                        .arg(counts.size() - pasted));
}

void Tkontrol::Button1Click()
{
    if (Label1->text() != "0") {
        if (!Form9->askToCorrectAlleles()) return;
    }
    // The counts typed are given up: the warning said so, or they total 0.
    countsUnsaved_ = false;
    if (!task.archiveMode) {
        // A new task: the allele window is still open under this one.
        close();
        return;
    }
    // A task from the archive: the allele window is shown over this one, and however it
    // is closed the lists are built again from what it holds.
    antigen->showModal();
    setUpControlWindow();
}

void Tkontrol::Button2Click()
{
    calculateAndShowResults();
}

void Tkontrol::Button3Click()
{
    if (saveTaskToArchive()) countsUnsaved_ = false;
}

void Tkontrol::Button4Click()
{
    Form2->showModal();
}

void Tkontrol::Button5Click()
{
    Form3->showModal();
}

void Tkontrol::Button6Click()
{
    if (confirmLosingCounts("Завершить работу с программой?")) terminateApplication();
}

void Tkontrol::Button7Click()
{
    exportResultsToWorkbook();
}

void Tkontrol::Button8Click()
{
    StatisticsForm->showModal();
}

void Tkontrol::Button9Click()
{
    importCountTableFromFile();
}

void Tkontrol::clearPhenotypeRows()
{
    for (int r = 1; r < StringGrid3->rowCount(); ++r)
        for (int c : {1, 4, 2, 3})
            StringGrid3->setCells(c, r, QString());
}
