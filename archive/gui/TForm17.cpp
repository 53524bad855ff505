#include "archive/gui/TForm17.h"

#include "platform/drives.h"
#include "toolkit/message.h"

#include <QString>

TForm17* Form17 = nullptr;

namespace {

// Whether the drive holds a backup: the folder arhivpog at its root with the task list in it.
// Without one nothing is replaced, and the restore says so itself.
bool holdsBackup(char letter)
{
    const std::optional<std::string> root = driveRoot(letter);
    const std::optional<std::string> folder =
        root ? findFolderNoCase(*root, "arhivpog") : std::nullopt;
    return folder && findFileNoCase(*root + "/" + *folder, "SPISOK.DBF");
}

} // namespace

TForm17::TForm17()
    : DriveLetterForm(
          "Восстановление данных с резервного носителя", 804,
          {"Подготовьте резервный носитель (вставьте дискету или  подключите флэшку или "
           "убедитесь в готовности внешнего диска).",
           "Узнайте имя резервного ностиеля (см. Инструкцию) и введите эту букву в латинском "
           "регистре",
           "в поле внизу и нажмите кнопку \"Восстановить данные\" , а если передумали - "
           "\"Выход\".",
           "По окончанию восстановления нажмите \"Выход\". Восстановление может продолжаться "
           "5-20 секунд. Подождите..."},
          "Имя резервного носителя:", "Восстановить данные")
{
    setObjectName("Form17");
}

void TForm17::Button1Click()
{
    runWithLetter(restoreArchive, [](char letter) {
        return !holdsBackup(letter) ||
               askQuestion(QString("Архив задач будет заменен резервной копией с носителя %1; "
                                   "задачи, записанные после ее создания, будут потеряны. "
                                   "Восстановить данные?")
                               .arg(letter));
    });
}
