// The control window: the alleles, tests and phenotypes of the task, the counts typed in
// the column "Факт", their total, the criterion, and the buttons of the later steps. Its
// activation runs setUpControlWindow.
#pragma once

#include "estimate/report_tables.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/string_grid.h"

#include <cstdint>

class Tkontrol : public Form
{
public:
    Tkontrol();

    StringGrid* StringGrid1;   // alleles; column 2 takes the frequencies of the criterion
    StringGrid* StringGrid2;   // tests
    StringGrid* StringGrid3;   // phenotypes; column 2 holds the counts, column 3 the expected
    Label* Label2;             // "Всего:"
    Label* Label1;             // the total of the counts
    Label* Label4;             // summary line of the last calculation
    Label* Label5;             // "Выберите критерий:"
    RadioButton* RadioButton1; // МП, code 1
    RadioButton* RadioButton2; // МНК, code 2
    RadioButton* RadioButton3; // МННК, code 3
    Button* Button1;           // "Корректировать аллели"
    Button* Button2;           // "Начать расчет"
    Button* Button3;           // "Записать задачу в архив"
    Button* Button4;           // report on alleles, genotypes and tests
    Button* Button5;           // report on phenotypes
    Button* Button6;           // ends the program
    Button* Button7;           // export to a workbook
    Button* Button8;           // "Статистика и графики"
    Button* Button9;           // "Импорт таблицы численностей"

    // Lays out every list grid here and in the report windows, generates the phenotypes
    // and genotypes, and either empties the counts (criterion МП, total 0) or, for a task
    // just opened from the archive, keeps and sums them and selects the stored criterion.
    void setUpControlWindow();

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();
    void Button9Click();
    void StringGrid3SelectCell(int col, int row);
    // Whether an edited text may enter the cell: in the count column only a count the rule
    // takes, or nothing; a refused text is told with the refusal message.
    bool StringGrid3AcceptEdit(int col, const QString& text);
    void StringGrid3SetEditText(int col, int row, const QString& text);
    // Counts pasted from a spreadsheet fill the count column from the current row down; a
    // refused line leaves its cell as it was, and one message tells the refused rows.
    void StringGrid3Paste(int col, int row, const QString& text);

    // Whether the counts in hand may be lost: true when none was typed or changed since the
    // set-up or the last save, otherwise the user's answer to a question that ends with the
    // action ("Закрыть окно?"). Answering "Да" lets them go.
    bool confirmLosingCounts(const QString& action);

    // Empties columns 1, 4, 2 and 3 of every data row of the phenotype grid.
    void clearPhenotypeRows();
    // The report, export and statistics buttons, shown only while the results on screen
    // belong to the counts on screen.
    void showResultButtons(bool shown);
    // The frequencies and expected counts by the chosen criterion in the allele and phenotype
    // grids, "0" in the empty count cells, the summary line; the tables are kept for the
    // export.
    void showResults(const ReportTables& tables);
    // The code of the checked criterion button, 1..3; 0 when none is checked.
    int criterionCode() const;
    // The tables of the last calculation shown.
    const ReportTables& shownResults() const { return results_; }

protected:
    void FormActivate() override;
    bool FormCloseQuery() override;

private:
    void layOutListGrids();
    void showAlleles();
    void showTests();
    // Fills the phenotype rows; with keepCounts the count cells stay and their sum is
    // returned, otherwise they are emptied and 0 is returned.
    std::int64_t showPhenotypes(bool keepCounts);
    void selectCriterion(int code);
    // The total of the counts in the given column of the phenotype grid.
    std::int64_t columnTotal(int col) const;
    void showTotal(std::int64_t total);
    void hideResultButtons() { showResultButtons(false); }
    // A count edited: the results on screen no longer belong to the counts, and the counts
    // are not those of the archive.
    void markCountsEdited();

    bool countsUnsaved_ = false; // a count typed or changed since the set-up or the last save
    ReportTables results_;
};

extern Tkontrol* kontrol;
