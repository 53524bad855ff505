#include "estimate/gui/TForm3.h"

#include "estimate/gui/result_cells.h"
#include "estimate/report_grids.h"
#include "toolkit/list_grid.h"
#include "toolkit/qt_text.h"

TForm3* Form3 = nullptr;

TForm3::TForm3()
{
    setObjectName("Form3");
    setWindowTitle("Полный отчет по фенотипам");
    placeAsFullWindow();
    StringGrid1 = makeListGrid(this, 4, 12, 965, 593);
    Label1 = new Label(QString(), this);
    Label1->setGeometry(164, 620, 800, 20);
    Label2 = new Label(QString(), this);
    Label2->setGeometry(164, 644, 800, 20);
    Label3 = new Label(QString(), this);
    Label3->setGeometry(164, 668, 800, 20);
    // The three fit lines start with prefixes of one length that line them up.
    for (Label* label : {Label1, Label2, Label3})
        label->setFont(fixedPitchFont(8));
    layOutColumns();
}

void TForm3::layOutColumns()
{
    ::layOutColumns(*StringGrid1, phenotypeReportLayout(),
                    {20, 170, 80, 85, 90, 100, 87, 97, 100, 105});
}

void TForm3::showPhenotypes(const TaskState& task)
{
    showNumberedRows(*StringGrid1, phenotypeReportLayout(),
                     listEntries(task.phenotypeNames, task.phenotypeCount));
}

void TForm3::showResults(const ReportTables& tables)
{
    showResultColumns(*StringGrid1, tables.phenotypes, 2, tables.phenotypes[0].size() - 1);
    Label1->setText(toQString(tables.fitLabels[0]));
    Label2->setText(toQString(tables.fitLabels[1]));
    Label3->setText(toQString(tables.fitLabels[2]));
}
