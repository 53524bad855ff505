#include "estimate/gui/calculation_window.h"

#include "estimate/calculation_run.h"
#include "estimate/gui/TForm2.h"
#include "estimate/gui/TForm3.h"
#include "estimate/gui/TStatisticsForm.h"
#include "estimate/report_tables.h"
#include "task/count_entry.h"
#include "task/gui/Tkontrol.h"
#include "task/task_state.h"
#include "toolkit/message.h"
#include "toolkit/qt_text.h"

#include <QApplication>

namespace {

// The checked criterion button; МП when none is (the window always checks one, but a
// task opened from the archive with a stored code outside 1..3 changes nothing).
FitCriterion chosenCriterion()
{
    const int code = kontrol->criterionCode();
    return code ? static_cast<FitCriterion>(code) : FitCriterion::maximumLikelihood;
}

// The wait cursor over the whole application while a calculation runs.
class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

void calculateAndShowResults()
{
    std::vector<Cp1251Text> counts;
    for (int r = 1; r <= task.phenotypeCount; ++r)
        counts.push_back(kontrol->StringGrid3->cp1251Cell(countColumn, r));
    const Cp1251Text total = encodeCp1251(kontrol->Label1->text()).checked();

    CalculationResult result;
    {
        const BusyCursor busy;
        result = runCalculation(task, counts, total, chosenCriterion());
        if (result.completed()) {
            const ReportTables tables = reportTables(task, result, counts);
            kontrol->showResults(tables);
            Form2->showResults(tables);
            Form3->showResults(tables);
        }
    }
    if (!result.completed()) {
        showMessage(result.failure);
        return;
    }
    StatisticsForm->setCalculation(task, result);
    showMessage(result.doneMessage);
    kontrol->showResultButtons(true);
}
