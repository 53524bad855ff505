// The code page table and the conversions over it.
#include "platform/cp1251.h"

#include <array>

namespace {

// Unicode code points of bytes 0x80..0xFF. Byte 0x98 has no character in Windows-1251;
// like the system's own conversion, it maps to U+0098 and back.
constexpr std::array<char16_t, 128> upperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

int byteOf(char32_t c)
{
    if (c < 0x80) return static_cast<int>(c);
    for (std::size_t i = 0; i < upperHalf.size(); ++i)
        if (upperHalf[i] == c) return static_cast<int>(0x80 + i);
    return -1;
}

// Decodes one UTF-8 sequence at pos; a malformed sequence yields U+FFFD, which has no
// Windows-1251 code and is therefore reported like any other foreign character.
char32_t nextCodePoint(std::string_view s, std::size_t& pos)
{
    const auto lead = static_cast<unsigned char>(s[pos++]);
    if (lead < 0x80) return lead;
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0) return 0xFFFD;
    char32_t c = lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if (pos >= s.size() || (static_cast<unsigned char>(s[pos]) & 0xC0) != 0x80) return 0xFFFD;
        c = (c << 6) | (static_cast<unsigned char>(s[pos++]) & 0x3F);
    }
    return c;
}

} // namespace

EncodedText encodeCp1251(std::string_view utf8)
{
    EncodedText result;
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t c = nextCodePoint(utf8, pos);
        const int b = byteOf(c);
        if (b < 0) {
            result.unencodable = c;
            return result;
        }
        bytes.push_back(static_cast<char>(b));
    }
    result.text = Cp1251Text::fromBytes(std::move(bytes));
    return result;
}

Cp1251Text EncodedText::checked() const
{
    if (!ok()) throw EncodingError(unencodable);
    return text;
}

Cp1251Text toCp1251(std::string_view utf8)
{
    return encodeCp1251(utf8).checked();
}

std::string utf8Char(char32_t c)
{
    std::string out;
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
    return out;
}

std::string cp1251ToUtf8(const Cp1251Text& text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (char ch : text.bytes()) {
        const auto b = static_cast<unsigned char>(ch);
        out += b < 0x80 ? std::string(1, ch) : utf8Char(upperHalf[b - 0x80]);
    }
    return out;
}

Cp1251Text Cp1251Text::upper() const
{
    std::string out(bytes_);
    for (char& ch : out) {
        const auto b = static_cast<unsigned char>(ch);
        unsigned char u = b;
        if ((b >= 'a' && b <= 'z'))
            u = b - 32;
        else if (b >= 0xE0)
            u = b - 32;
        else
            switch (b) {
            case 0x83:
                u = 0x81;
                break;
            case 0x90:
                u = 0x80;
                break;
            case 0x9A:
            case 0x9C:
            case 0x9D:
            case 0x9E:
            case 0x9F:
                u = b - 0x10;
                break;
            case 0xA2:
                u = 0xA1;
                break;
            case 0xB3:
                u = 0xB2;
                break;
            case 0xB4:
                u = 0xA5;
                break;
            case 0xB8:
            case 0xBA:
            case 0xBF:
                u = b - 0x10;
                break;
            case 0xBC:
                u = 0xA3;
                break;
            case 0xBE:
                u = 0xBD;
                break;
            default:
                break;
            }
        ch = static_cast<char>(u);
    }
    return fromBytes(std::move(out));
}

std::string trimBlanks(std::string_view text)
{
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= 32)
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32)
        --last;
    return std::string(text.substr(first, last - first));
}

Cp1251Text Cp1251Text::trimmed() const
{
    return fromBytes(trimBlanks(bytes_));
}

EncodingError::EncodingError(char32_t character)
    : std::runtime_error("Символ «" + utf8Char(character) +
                         "» нельзя записать в кодировке Windows-1251. Замените его."),
      character_(character)
{
}
