#include "toolkit/qt_text.h"

QString toQString(const Cp1251Text& text)
{
    return QString::fromStdString(cp1251ToUtf8(text));
}

EncodedText encodeCp1251(const QString& text)
{
    return encodeCp1251(text.toStdString());
}
