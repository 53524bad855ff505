// Failures print QString values readably, between guillemets.
#pragma once

#include <QString>

#include <ostream>

void PrintTo(const QString& text, std::ostream* out);
