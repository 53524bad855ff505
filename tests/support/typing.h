// Typing into the real windows with key events, as a user would.
#pragma once

#include "toolkit/string_grid.h"

#include <QString>

// Makes the cell current and types the text into it key by key, then presses Enter to
// commit the edit.
void typeIntoCell(StringGrid* grid, int col, int row, const QString& text);

// Types the text key by key into the widget, or into the focus widget once a key has moved
// the focus (an editor opened by the first key), Cyrillic included.
void typeText(QWidget* widget, const QString& text);

// The widget that key events go to: the focus widget, or the given fallback.
QWidget* keyTarget(QWidget* fallback);
