#include "toolkit/file_choice.h"

#include "toolkit/message.h"

#include <QFileDialog>
#include <QPixmap>
#include <QWidget>

QString chosenSaveFile(QWidget* parent, const std::function<QString()>& chooser, const char* title,
                       const char* filter, const QString& suffix)
{
    QString path =
        chooser ? chooser() : QFileDialog::getSaveFileName(parent, title, QString(), filter);
    if (!path.isEmpty() && !path.endsWith(suffix, Qt::CaseInsensitive)) path += suffix;
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
