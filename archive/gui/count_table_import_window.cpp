#include "archive/gui/count_table_import_window.h"

#include "archive/count_table_import.h"
#include "archive/gui/TDataModule4.h"
#include "archive/gui/TForm6.h"
#include "archive/gui/Tarhiv.h"
#include "archive/gui/save_task_window.h"
#include "platform/cp1251.h"
#include "task/gui/Tkontrol.h"
#include "task/task_state.h"
#include "toolkit/file_choice.h"
#include "toolkit/message.h"
#include "toolkit/qt_text.h"

namespace {

std::function<QString()>& chooser()
{
    static std::function<QString()> chosen;
    return chosen;
}

} // namespace

void setCountTableChooserForTests(std::function<QString()> chosen)
{
    chooser() = std::move(chosen);
}

int importCountTableFromFile()
{
    const QString path =
        chosenOpenFile(kontrol, chooser(), "Импорт таблицы численностей",
                       "Таблицы численностей (*.csv *.tsv *.txt *.xlsx *.ods);;Все файлы (*)");
    if (path.isEmpty()) return 0;
    Form6->setWindowTitle("Введите название системы и закройте это окно");
    Form6->Edit1->clear();
    Form6->Edit1->setMaxLength(static_cast<int>(labelWidth));
    Form6->showModal();
    const EncodedText system = encodeCp1251(Form6->Edit1->text());
    if (!system.ok()) {
        showMessage("В названии системы есть символ «" + utf8Char(system.unencodable) +
                    "», которого нет в кодировке Windows-1251. Таблица не импортирована.");
        return 0;
    }
    if (system.text.trimmed().empty()) return 0;

    TaskRecord base = taskInHand({});
    base.counts.clear();
    const CountTableImport imported =
        importCountTable(DataModule4->archiveTables(), path.toStdString(), task, base, system.text,
                         &DataModule4->dsspisok);
    if (arhiv->isVisible()) arhiv->refreshLabels();
    if (imported.problem) {
        showMessage("Таблица не импортирована, в архив ничего не записано.\n" +
                    tableProblemText(*imported.problem) + ".");
        return 0;
    }
    showMessage("Из таблицы в архив записано задач: " + std::to_string(imported.keys.size()) + ".");
    return static_cast<int>(imported.keys.size());
}
