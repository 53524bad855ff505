#include "archive/gui/save_task_window.h"

#include "archive/gui/TDataModule4.h"
#include "archive/gui/TForm6.h"
#include "archive/task_archive.h"
#include "platform/clock.h"
#include "platform/cp1251.h"
#include "tables/archive_schema.h"
#include "task/count_entry.h"
#include "task/gui/Tantigen.h"
#include "task/gui/Tkontrol.h"
#include "task/task_state.h"
#include "toolkit/message.h"
#include "toolkit/qt_text.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

int checkedCode(std::initializer_list<const RadioButton*> buttons)
{
    int code = 1;
    for (const RadioButton* button : buttons) {
        if (button->isChecked()) return code;
        ++code;
    }
    return 0;
}

} // namespace

TaskRecord taskInHand(Cp1251Text name)
{
    TaskRecord record;
    record.name = std::move(name);
    record.mode = checkedCode({antigen->RadioButton1, antigen->RadioButton2});
    record.criterion = kontrol->criterionCode();
    record.alleleCount = task.alleleCount;
    record.testCount = task.testCount;
    record.phenotypeCount = task.phenotypeCount;
    const LocalDateTime now = currentDateTime();
    record.date = {now.year, now.month, now.day};
    record.time = savingTimeText(now.hour, now.minute);
    for (int k = 1; k <= maxAlleles; ++k)
        record.alleleRows[k - 1] = encodeCp1251(antigen->alleleCell(k)).checked().trimmed();
    StringGrid* phenotypes = kontrol->StringGrid3;
    for (int r = 1; r <= task.phenotypeCount && r < phenotypes->rowCount(); ++r) {
        const Cp1251Text text = phenotypes->cp1251Cell(countColumn, r);
        if (text.trimmed().empty()) continue;
        record.counts.push_back({r, static_cast<std::int32_t>(countValue(text))});
    }
    return record;
}

namespace {

// What is wrong with the first count of the phenotype grid that the rule refuses, if any.
std::optional<std::string> invalidCountInHand()
{
    StringGrid* phenotypes = kontrol->StringGrid3;
    std::vector<Cp1251Text> cells;
    for (int r = 1; r <= task.phenotypeCount && r < phenotypes->rowCount(); ++r)
        cells.push_back(phenotypes->cp1251Cell(countColumn, r));
    const std::optional<std::size_t> invalid = firstInvalidCount(cells);
    if (!invalid) return std::nullopt;
    return invalidCountText(task.phenotypeNames[*invalid + 1],
                            cp1251ToUtf8(cells[*invalid].trimmed()));
}

} // namespace

bool saveTaskToArchive()
{
    if (const std::optional<std::string> invalid = invalidCountInHand()) {
        showMessage("Задача не записана в архив: " + *invalid + ".");
        return false;
    }
    Form6->setWindowTitle("Введите наименование задачи и закройте это окно");
    Form6->Edit1->clear();
    // The field takes no more than NAME holds, so that no name is cut without a word.
    Form6->Edit1->setMaxLength(
        std::as_const(DataModule4->spisok).fieldByName(taskNameField).definition().width);
    Form6->showModal();
    const EncodedText name = encodeCp1251(Form6->Edit1->text());
    if (!name.ok()) {
        showMessage("В наименовании задачи есть символ «" + utf8Char(name.unencodable) +
                    "», которого нет в кодировке Windows-1251. Задача не записана.");
        return false;
    }
    if (taskNameKey(name.text).empty()) return false;

    const TaskRecord record = taskInHand(name.text);
    const SaveResult result =
        saveTask(DataModule4->archiveTables(), record, &DataModule4->dsspisok);
    if (result.outcome == SaveOutcome::duplicateName)
        showMessage("Такая задача уже есть... повтор недопустим.");
    if (result.outcome == SaveOutcome::saved) task.archiveName = record.name;
    return result.outcome == SaveOutcome::saved;
}
