// Typing into the real windows with key events, as a user would.
#pragma once

#include "toolkit/string_grid.h"

#include <QString>

// Makes the cell current and types the text into it key by key, then presses Enter to
// commit the edit.
void typeIntoCell(StringGrid* grid, int col, int row, const QString& text);

// The widget that key events go to: the focus widget, or the given fallback.
QWidget* keyTarget(QWidget* fallback);
