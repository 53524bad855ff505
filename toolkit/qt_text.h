// The one way between the program's Windows-1251 text and the QStrings of Qt's widgets:
// windows and toolkit parts convert here and nowhere else.
#pragma once

#include "platform/cp1251.h"

#include <QString>

QString toQString(const Cp1251Text& text);

// The Windows-1251 form of a widget's text, or the first character it cannot hold.
EncodedText encodeCp1251(const QString& text);
