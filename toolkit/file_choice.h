// Choosing where to save a file, and saving a widget's picture as PNG there. The chooser is a
// test seam: when set it gives the path instead of the file dialog.
#pragma once

#include <QString>

#include <functional>

class QWidget;

// The path the user chose (the chooser's when set), with the suffix added when it lacks it;
// empty when the choice was cancelled.
QString chosenSaveFile(QWidget* parent, const std::function<QString()>& chooser, const char* title,
                       const char* filter, const QString& suffix);

// Asks for a PNG file and writes the picture of the widget into it; a failed write is told
// to the user.
void savePicture(QWidget* parent, QWidget& picture, const std::function<QString()>& chooser);
