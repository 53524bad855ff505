#include "archive/gui/Tarhiv.h"

#include "archive/gui/TDataModule4.h"
#include "archive/gui/TForm7.h"
#include "archive/gui/TLabelsForm.h"
#include "archive/task_archive.h"
#include "archive/task_list.h"
#include "compare/gui/TCompareTasks.h"
#include "compare/gui/TStudyForm.h"
#include "platform/cp1251.h"
#include "tables/archive_schema.h"
#include "task/allele_position.h"
#include "task/count_entry.h"
#include "task/gui/Tantigen.h"
#include "task/gui/Tkontrol.h"
#include "task/phenotypes.h"
#include "task/task_state.h"
#include "toolkit/message.h"
#include "toolkit/qt_text.h"

#include <QString>
#include <QStringList>
#include <QTableView>

#include <algorithm>
#include <string>
#include <utility>

Tarhiv* arhiv = nullptr;

namespace {

void showAllTasks()
{
    DataModule4->spisok.setFilter(liveRowsFilter);
    DataModule4->spisok.setFiltered(true);
}

void putAlleleRows(const TaskRecord& record)
{
    for (int k = 1; k <= maxAlleles; ++k) {
        if (record.alleleRows[k - 1].empty()) continue;
        const AllelePosition at = allelePosition(k);
        antigen->alleleGrid(at.grid)->setCp1251Cell(1, at.row, record.alleleRows[k - 1]);
    }
}

// The count column of phenotype rows 1 to maxPhenotypes: emptied, then the stored counts the
// rule takes. The grid is made large enough for every row first; the control window's set-up
// gives it the new task's phenotype count.
void putCounts(const TaskRecord& record)
{
    StringGrid* phenotypes = kontrol->StringGrid3;
    if (phenotypes->rowCount() < maxPhenotypes + 1) phenotypes->setRowCount(maxPhenotypes + 1);
    for (int r = 1; r <= maxPhenotypes; ++r)
        phenotypes->setCells(countColumn, r, QString());
    for (const PhenotypeCount& count : record.counts)
        if (isValidCount(count.count))
            phenotypes->setCells(countColumn, count.number, QString::number(count.count));
}

// Tells the stored counts of the task's phenotypes that the rule refuses (written by an older
// version or by other software), which the task opens without. The phenotypes are generated
// here only to name them; the control window's set-up generates them again.
void tellInvalidCounts(const TaskRecord& record)
{
    const auto invalid = [](const PhenotypeCount& count) { return !isValidCount(count.count); };
    if (std::none_of(record.counts.begin(), record.counts.end(), invalid)) return;
    const InheritanceMode mode = antigen->RadioButton1->isChecked() ? InheritanceMode::codominance
                                                                    : InheritanceMode::dominance;
    if (!generatePhenotypes(task, mode)) return;
    QStringList lines;
    for (const PhenotypeCount& count : record.counts)
        if (invalid(count) && count.number <= task.phenotypeCount)
            lines << QString::fromStdString(
                invalidCountText(task.phenotypeNames[count.number], std::to_string(count.count)));
    if (lines.isEmpty()) return;
    constexpr int shownLines = 10;
    const auto more = lines.size() - shownLines;
    if (more > 0) lines = lines.mid(0, shownLines) << QString("… и еще %1").arg(more);
    showMessage("Задача «" + toQString(record.name.trimmed()) +
                "» открыта без поголовья, которое в архиве записано неверно:\n" +
                lines.join(";\n") + ".");
}

} // namespace

Tarhiv::Tarhiv()
{
    setObjectName("arhiv");
    setWindowTitle("Работа с архивом");
    placeAsFullWindow();

    Label1 = new Label("Список задач архива", this);
    Label1->setGeometry(8, 8, 270, 20);
    DBGrid1 = new DBGrid(this);
    DBGrid1->setGeometry(8, 32, 963, 630);
    DBGrid1->addColumn("DATA", "Дата записи задачи", 130);
    DBGrid1->addColumn("TIME", "Время записи задачи", 130);
    DBGrid1->addColumn("NAME", "Наименование задачи", 380);
    DBGrid1->addColumn(
        [this](const Table& spisok, std::size_t row) { return labelText(spisok, row, false); },
        "Популяция", 150);
    DBGrid1->addColumn(
        [this](const Table& spisok, std::size_t row) { return labelText(spisok, row, true); },
        "Система", 150);
    DBGrid1->allowSeveralLines();
    DBGrid1->setDataSource(&DataModule4->dsspisok);
    DBGrid1->onDblClick = [this] { Button1Click(); };

    Button1 = new Button("Открыть задачу", this, [this] { Button1Click(); });
    Button1->setGeometry(8, 676, 220, 34);
    Button3 = new Button("Выделить задачу", this, [this] { Button3Click(); });
    Button3->setGeometry(240, 676, 220, 34);
    Button4 = new Button("Отменить выделение задач", this, [this] { Button4Click(); });
    Button4->setGeometry(472, 676, 220, 34);
    Button2 = new Button("Удалить задачу", this, [this] { Button2Click(); });
    Button2->setGeometry(751, 676, 220, 34);
    Button5 = new Button("Сравнить задачи", this, [this] { Button5Click(); });
    Button5->setGeometry(751, 2, 220, 28);
    Button6 = new Button("Метки задач", this, [this] { Button6Click(); });
    Button6->setGeometry(519, 2, 220, 28);
    CompareTasks = new TCompareTasks;
    CompareTasks->setParent(this, CompareTasks->windowFlags());
    Button7 = new Button("Сравнить популяции", this, [this] { Button7Click(); });
    Button7->setGeometry(287, 2, 220, 28);
    StudyForm = new TStudyForm;
    StudyForm->setParent(this, StudyForm->windowFlags());
    LabelsForm = new TLabelsForm;
    LabelsForm->setParent(this, LabelsForm->windowFlags());
}

void Tarhiv::FormActivate()
{
    showAllTasks();
    refreshLabels();
    DBGrid1->view()->setFocus();
}

void Tarhiv::refreshLabels()
{
    labels_.clear();
    if (DataModule4->spisok.active() && DataModule4->metki.active())
        labels_ = readTaskLabels(DataModule4->spisok, DataModule4->metki);
    DBGrid1->refreshTexts();
}

QString Tarhiv::labelText(const Table& spisok, std::size_t row, bool system) const
{
    const auto found = labels_.find(spisok.fieldAt(row, "index").asInteger());
    if (found == labels_.end()) return {};
    return toQString((system ? found->second.system : found->second.population).trimmed());
}

void Tarhiv::Button1Click()
{
    if (!DataModule4->spisok.currentRow()) return;
    task.archiveMode = true;
    task.archiveCountsPending = true;
    antigen->layOutGrids(true);
    const std::optional<TaskRecord> record = loadTask(DataModule4->archiveTables());
    if (!record) return;
    if (record->mode == 1) antigen->RadioButton1->setChecked(true);
    if (record->mode == 2) antigen->RadioButton2->setChecked(true);
    putAlleleRows(*record);
    if (!antigen->checkAlleleList()) {
        // The rows were damaged outside the program: the phenotypes of a partial list would
        // take counts saved against other phenotypes. The task is not opened.
        task.archiveMode = false;
        task.archiveCountsPending = false;
        return;
    }
    tellInvalidCounts(*record);
    putCounts(*record);
    task.archiveName = record->name;
    kontrol->showModal();
    refreshLabels();
}

void Tarhiv::Button2Click()
{
    if (!DataModule4->spisok.currentRow()) return;
    const Cp1251Text name =
        std::as_const(DataModule4->spisok).fieldByName(taskNameField).asString();
    if (!askQuestion("Удалить задачу «" + toQString(name.trimmed()) + "» из архива?")) return;
    for (DataSource* source :
         {&DataModule4->dsspisok, &DataModule4->dsallel, &DataModule4->dsfenotip})
        source->setEnabled(true);
    deleteCurrentTask(DataModule4->archiveTables());
    refreshLabels();
}

void Tarhiv::Button3Click()
{
    Form7->showModal();
    const EncodedText typed = encodeCp1251(Form7->Edit1->text());
    if (!typed.ok()) {
        showMessage("В ключе выделения есть символ «" + utf8Char(typed.unencodable) +
                    "», которого нет в кодировке Windows-1251.");
        return;
    }
    const Cp1251Text key = typed.text.upper().trimmed();
    if (key.empty()) return;
    if (selectTasksByKey(DataModule4->spisok, DataModule4->dsspisok, key) == 0)
        showMessage("Записей, соответствующих ключу, нет...");
}

void Tarhiv::Button4Click()
{
    showAllTasks();
}

void Tarhiv::Button5Click()
{
    CompareTasks->showModal();
}

void Tarhiv::Button7Click()
{
    StudyForm->showModal();
}

void Tarhiv::Button6Click()
{
    const Table& spisok = DataModule4->spisok;
    std::vector<int> keys;
    for (const int line : DBGrid1->selectedLines())
        if (static_cast<std::size_t>(line) < spisok.rowCount())
            keys.push_back(spisok.fieldAt(static_cast<std::size_t>(line), "index").asInteger());
    if (keys.empty()) {
        showMessage("Выберите в списке задачи, которым нужно задать метки.");
        return;
    }
    const std::size_t current = spisok.currentRow().value_or(0);
    if (!LabelsForm->askLabels(labelText(spisok, current, false), labelText(spisok, current, true)))
        return;
    TaskLabels labels;
    const std::pair<Edit*, Cp1251Text*> fields[] = {{LabelsForm->Edit1, &labels.population},
                                                    {LabelsForm->Edit2, &labels.system}};
    for (const auto& [edit, label] : fields) {
        const EncodedText typed = encodeCp1251(edit->text());
        if (!typed.ok()) {
            showMessage("В метке есть символ «" + utf8Char(typed.unencodable) +
                        "», которого нет в кодировке Windows-1251. Метки не изменены.");
            return;
        }
        *label = typed.text.trimmed();
    }
    std::map<int, TaskLabels> changes;
    for (const int key : keys)
        changes[key] = labels;
    setTaskLabels(spisok, DataModule4->metki, changes);
    refreshLabels();
}
