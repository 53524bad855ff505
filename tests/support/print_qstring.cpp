#include "tests/support/print_qstring.h"

void PrintTo(const QString& text, std::ostream* out)
{
    *out << "«" << text.toStdString() << "»";
}
