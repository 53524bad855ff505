#include "archive/gui/drive_letter_window.h"

#include "archive/gui/TDataModule4.h"
#include "archive/gui/archive_tables_control.h"
#include "platform/drives.h"
#include "toolkit/message.h"

#include <QApplication>
#include <QDir>

DriveLetterForm::DriveLetterForm(const QString& caption, int width, const QStringList& lines,
                                 const QString& fieldCaption, const QString& actionCaption)
{
    setWindowTitle(caption);
    resize(width, 563);
    int y = 16;
    for (const QString& line : lines) {
        auto* label = new Label(line, this);
        label->setGeometry(16, y, width - 32, 20);
        y += 28;
    }
    auto* fieldLabel = new Label(fieldCaption, this);
    fieldLabel->setGeometry(16, y + 12, 200, 24);
    MaskEdit1 = new MaskEdit(this);
    MaskEdit1->setGeometry(220, y + 12, 32, 24);
    driveList = new Label(QString(), this);
    driveList->setGeometry(16, y + 48, width - 32, 300);
    driveList->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Button1 = new Button(actionCaption, this, [this] { Button1Click(); });
    Button1->setGeometry(16, 500, 220, 36);
    Button2 = new Button("Выход", this, [this] { Button2Click(); });
    Button2->setGeometry(width - 236, 500, 220, 36);
}

void DriveLetterForm::FormActivate()
{
    QStringList lines = {"Носители (буква — папка, свободное место):"};
    for (const std::string& line : driveListLines())
        lines << QString::fromStdString(line);
    driveList->setText(lines.join('\n'));
    MaskEdit1->setFocus();
}

void DriveLetterForm::runWithLetter(
    const std::function<std::vector<std::string>(char, const std::string&,
                                                 const ArchiveTablesControl&)>& copy,
    const std::function<bool(char)>& confirm)
{
    const auto letter = readDriveLetter(MaskEdit1->text().toStdString());
    if (!letter) {
        showMessage(driveLetterMessage());
        MaskEdit1->setFocus();
        return;
    }
    if (confirm && !confirm(*letter)) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::vector<std::string> messages;
    try {
        messages =
            copy(*letter, QDir::currentPath().toStdString(), archiveTablesControl(*DataModule4));
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
    for (const std::string& message : messages)
        showMessage(message);
    FormActivate();
}
