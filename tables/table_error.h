// Errors of the table engine. The text is Russian (UTF-8), names the file and says what is
// wrong; the application's default error handler shows it as it is.
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

class TableError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// "Ошибка таблицы SPISOK.DBF: <problem>."
inline TableError tableError(std::string_view fileName, std::string_view problem)
{
    std::string text = "Ошибка таблицы ";
    text += fileName;
    text += ": ";
    text += problem;
    text += '.';
    return TableError(text);
}

// Bytes read from a file (a field name, a filter text) made safe for a message: printable
// ASCII stays, every other byte shows as \xNN.
inline std::string printableBytes(std::string_view bytes)
{
    std::string text;
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 32 && u < 127) {
            text += c;
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", u);
            text += code;
        }
    }
    return text;
}
