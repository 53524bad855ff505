// What the backup and restore windows share: the letter field, the list of the current
// drive letters under it, and the handling of the letter before the copies.
#pragma once

#include "archive/backup_restore.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"

#include <QStringList>

#include <functional>

class DriveLetterForm : public Form
{
public:
    MaskEdit* MaskEdit1;
    Button* Button1;
    Button* Button2;
    Label* driveList; // the drive letters now present, so the user can find the medium

protected:
    DriveLetterForm(const QString& caption, int width, const QStringList& lines,
                    const QString& fieldCaption, const QString& actionCaption);

    void FormActivate() override;
    // Reads the letter, asks confirm (when given) whether to go on, then runs the copy with a
    // busy cursor and shows its messages.
    void runWithLetter(
        const std::function<std::vector<std::string>(char letter, const std::string& folder,
                                                     const ArchiveTablesControl&)>& copy,
        const std::function<bool(char letter)>& confirm = {});
    virtual void Button1Click() = 0;
    void Button2Click() { close(); }
};
