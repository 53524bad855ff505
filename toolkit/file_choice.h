// Choosing a file to read or where to save a file, and saving a widget's picture as PNG there.
// The chooser is a test seam: when set it gives the path instead of the file dialog. The dialog
// opens in the folder of the file chosen last, remembered between runs, or at first in the user's
// documents.
#pragma once

#include <QString>

#include <functional>

class QWidget;

// The folder the next file dialog opens in: the last one a file was chosen in, while it exists,
// otherwise the user's documents folder (the home folder when there is none).
QString fileDialogFolder();
// Remembers the folder of a chosen file for the dialogs that follow, in this run and the next.
void rememberFileDialogFolder(const QString& chosenFile);

// The path the user chose (the chooser's when set), with the suffix added when it lacks it;
// empty when the choice was cancelled. Its folder is remembered.
QString chosenSaveFile(QWidget* parent, const std::function<QString()>& chooser, const char* title,
                       const char* filter, const QString& suffix);

// The existing file the user chose to read (the chooser's when set); empty when the choice was
// cancelled. Its folder is remembered.
QString chosenOpenFile(QWidget* parent, const std::function<QString()>& chooser, const char* title,
                       const char* filter);

// Asks for a PNG file and writes the picture of the widget into it; a failed write is told
// to the user.
void savePicture(QWidget* parent, QWidget& picture, const std::function<QString()>& chooser);
