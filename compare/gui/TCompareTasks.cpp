#include "compare/gui/TCompareTasks.h"

#include "archive/archived_task.h"
#include "archive/gui/TDataModule4.h"
#include "compare/gui/TComparisonForm.h"
#include "platform/cp1251.h"
#include "tables/archive_schema.h"
#include "toolkit/message.h"
#include "toolkit/qt_text.h"

#include <memory>

namespace {

std::string shownName(const Cp1251Text& name)
{
    return cp1251ToUtf8(name.trimmed());
}

// Reads the tasks of the SPISOK rows into samples, SPISOK left on the row it was on and the
// archive list not following it meanwhile. A task whose stored rows fail the allele check
// is named in problem.
std::vector<PopulationSample> readTasks(const std::vector<std::size_t>& rows, std::string& problem)
{
    Table& spisok = DataModule4->spisok;
    const std::optional<std::size_t> current = spisok.currentRow();
    DataModule4->dsspisok.setEnabled(false);
    std::vector<PopulationSample> samples;
    for (const std::size_t row : rows) {
        const std::string name = shownName(spisok.fieldAt(row, taskNameField).asString());
        spisok.moveTo(row);
        auto task = std::make_unique<TaskState>();
        const ArchivedTask archived = currentArchivedTask(
            {DataModule4->spisok, DataModule4->allel, DataModule4->fenotip}, *task);
        std::optional<PopulationSample> sample =
            archived.problem ? std::nullopt : sampleOfLoadedTask(name, std::move(task), archived);
        if (!sample) {
            problem = "Задачу «" + name + "» прочитать не удалось" +
                      (archived.problem ? ": " + *archived.problem : std::string("."));
            break;
        }
        samples.push_back(std::move(*sample));
    }
    if (current) spisok.moveTo(*current);
    DataModule4->dsspisok.setEnabled(true);
    return samples;
}

} // namespace

TCompareTasks::TCompareTasks()
{
    setObjectName("CompareTasks");
    setWindowTitle("Сравнить задачи");
    placeTopLeft(660, 560);
    Label1 = new Label("Отметьте задачи для сравнения", this);
    Label1->setGeometry(8, 8, 640, 20);
    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setGeometry(8, 32, 644, 470);
    Button1 = new Button("Сравнить", this, [this] { Button1Click(); });
    Button1->setGeometry(432, 514, 220, 34);
    comparison_ = new TComparisonForm;
    comparison_->setParent(this, comparison_->windowFlags());
}

void TCompareTasks::FormActivate()
{
    CheckListBox1->clear();
    const Table& spisok = DataModule4->spisok;
    for (std::size_t row = 0; row < spisok.rowCount(); ++row) {
        auto* line = new QListWidgetItem(
            toQString(spisok.fieldAt(row, taskNameField).asString().trimmed()), CheckListBox1);
        line->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        line->setCheckState(Qt::Unchecked);
    }
}

void TCompareTasks::Button1Click()
{
    std::vector<std::size_t> ticked;
    for (int line = 0; line < CheckListBox1->count(); ++line)
        if (CheckListBox1->item(line)->checkState() == Qt::Checked)
            ticked.push_back(static_cast<std::size_t>(line));
    std::string problem;
    std::vector<PopulationSample> samples = readTasks(ticked, problem);
    if (problem.empty())
        if (const auto mismatch = comparisonMismatch(samples)) problem = *mismatch;
    if (!problem.empty()) {
        showMessage(problem);
        return;
    }
    comparison_->setSamples(std::move(samples));
    comparison_->showModal();
}
