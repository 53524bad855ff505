#include "toolkit/file_choice.h"

#include "toolkit/message.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPixmap>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>

namespace {

const char* const lastFolderKey = "fileDialogs/lastFolder";

// The program's settings: ~/.config/velimor/velimor.conf (under XDG_CONFIG_HOME when set).
QSettings settings()
{
    return QSettings("velimor", "velimor");
}

} // namespace

QString fileDialogFolder()
{
    const QString last = settings().value(lastFolderKey).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
    return QDir::homePath();
}

void rememberFileDialogFolder(const QString& chosenFile)
{
    settings().setValue(lastFolderKey, QFileInfo(chosenFile).absolutePath());
}

QString chosenSaveFile(QWidget* parent, const std::function<QString()>& chooser, const char* title,
                       const char* filter, const QString& suffix)
{
    QString path = chooser
                       ? chooser()
                       : QFileDialog::getSaveFileName(parent, title, fileDialogFolder(), filter);
    if (path.isEmpty()) return path;
    if (!path.endsWith(suffix, Qt::CaseInsensitive)) path += suffix;
    rememberFileDialogFolder(path);
    return path;
}

QString chosenOpenFile(QWidget* parent, const std::function<QString()>& chooser, const char* title,
                       const char* filter)
{
    const QString path =
        chooser ? chooser()
                : QFileDialog::getOpenFileName(parent, title, fileDialogFolder(), filter);
    if (!path.isEmpty()) rememberFileDialogFolder(path);
    return path;
}

void savePicture(QWidget* parent, QWidget& picture, const std::function<QString()>& chooser)
{
    const QString path =
        chosenSaveFile(parent, chooser, "Сохранить рисунок", "Рисунок PNG (*.png)", ".png");
    if (path.isEmpty()) return;
    if (!picture.grab().save(path, "PNG"))
        showMessage("Не удалось записать рисунок в файл " + path + ".");
}
