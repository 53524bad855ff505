#include "export/row_height.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double pixelsPerCharacter = 7; // a digit of the default face
constexpr double cellPaddingPixels = 5;  // the file's column width adds this
constexpr double pixelsPerPoint = 96.0 / 72.0;
constexpr double glyphWidthOfSize = 0.6;

int characters(std::string_view utf8)
{
    return static_cast<int>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}
} // namespace

int wrappedLineCount(std::string_view utf8, double columnWidth, double fontPoints)
{
    const double glyph = glyphWidthOfSize * fontPoints * pixelsPerPoint;
    const int perLine = std::max(
        1, static_cast<int>(
               (std::floor(columnWidth * pixelsPerCharacter + 0.5) - cellPaddingPixels) / glyph));
    int lines = 1;
    int used = 0; // characters on the current line
    std::size_t start = 0;
    while (start <= utf8.size()) {
        const std::size_t space = std::min(utf8.find(' ', start), utf8.size());
        const int word = characters(utf8.substr(start, space - start));
        if (word > 0) {
            const int needed = used == 0 ? word : used + 1 + word;
            if (needed <= perLine) {
                used = needed;
            } else {
                if (used > 0) ++lines;
                lines += (word - 1) / perLine;
                used = (word - 1) % perLine + 1;
            }
        }
        start = space + 1;
    }
    return lines;
}

double rowHeightForLines(int lines, double fontPoints)
{
    return std::max(defaultRowHeight, lines * 1.25 * fontPoints + 3);
}
