#include "import/delimited_text.h"

#include "platform/cp1251.h"

#include <iconv.h>

#include <cerrno>

namespace {

// The bytes converted by the C library's iconv; nothing when they are not valid in the source
// encoding.
std::optional<std::string> converted(std::string_view bytes, const char* from)
{
    const iconv_t conversion = iconv_open("UTF-8", from);
    if (conversion == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(bytes.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    std::size_t done = 0;
    bool ok = true;
    while (inLeft > 0) {
        char* at = out.data() + done;
        std::size_t outLeft = out.size() - done;
        const std::size_t result = iconv(conversion, &in, &inLeft, &at, &outLeft);
        done = out.size() - outLeft;
        if (result != static_cast<std::size_t>(-1)) break;
        if (errno != E2BIG) {
            ok = false;
            break;
        }
        out.resize(out.size() * 2);
    }
    iconv_close(conversion);
    if (!ok) return std::nullopt;
    out.resize(done);
    return out;
}

bool startsWith(std::string_view bytes, std::string_view prefix)
{
    return bytes.substr(0, prefix.size()) == prefix;
}

// The separator by the first line: tab, else semicolon, else comma, outside quotes.
char separatorOf(std::string_view text)
{
    bool quoted = false;
    bool semicolon = false;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n' || c == '\r') break;
        if (c == '\t') return '\t';
        if (c == ';') semicolon = true;
    }
    return semicolon ? ';' : ',';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

std::optional<std::string> textAsUtf8(std::string_view bytes)
{
    if (startsWith(bytes, "\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    else if (startsWith(bytes, "\xFF\xFE"))
        return converted(bytes.substr(2), "UTF-16LE");
    else if (startsWith(bytes, "\xFE\xFF"))
        return converted(bytes.substr(2), "UTF-16BE");
    if (converted(bytes, "UTF-8")) return std::string(bytes);
    return cp1251ToUtf8(Cp1251Text::fromBytes(std::string(bytes)));
}

CellTableRead readDelimitedText(std::string_view bytes)
{
    CellTableRead read;
    const std::optional<std::string> utf8 = textAsUtf8(bytes);
    if (!utf8) {
        read.problem = TableProblem{0, 0, "текст в кодировке UTF-16 поврежден"};
        return read;
    }
    const std::string_view text = *utf8;
    const char separator = separatorOf(text);
    CellTableBuilder builder;
    int row = 1;
    int column = 1;
    std::string field;
    std::size_t at = 0;
    const auto endField = [&] { return builder.put(row, column, std::move(field)); };
    while (at < text.size()) {
        const char c = text[at];
        if (c == '"' && field.find_first_not_of(" \t") == std::string::npos) {
            // A quoted field, blanks before its quote dropped.
            field.clear();
            for (++at;; ++at) {
                if (at == text.size()) {
                    read.problem = TableProblem{row, column, "кавычка не закрыта"};
                    return read;
                }
                if (text[at] == '"') {
                    if (at + 1 < text.size() && text[at + 1] == '"') {
                        field += '"';
                        ++at;
                        continue;
                    }
                    break;
                }
                field += text[at];
            }
            for (++at; at < text.size() && isBlank(text[at]) && text[at] != separator; ++at) {
            }
            if (at < text.size() && text[at] != separator && text[at] != '\n' && text[at] != '\r') {
                read.problem = TableProblem{row, column, "после закрывающей кавычки стоит текст"};
                return read;
            }
            continue;
        }
        ++at;
        if (c == separator) {
            if (!endField()) break;
            field.clear();
            ++column;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && at < text.size() && text[at] == '\n') ++at;
            if (!endField()) break;
            field.clear();
            ++row;
            column = 1;
        } else {
            field += c;
        }
    }
    if (!builder.problem()) endField();
    if (builder.problem()) {
        read.problem = builder.problem();
        return read;
    }
    read.table = builder.take();
    return read;
}
