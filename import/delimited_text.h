// CSV and TSV text as spreadsheets and editors save it. Encodings taken: UTF-8 with or without
// its byte-order mark; UTF-16 with its mark (a spreadsheet's "Unicode text"); and a text that
// is not valid UTF-8 is read as Windows-1251, as spreadsheets in a Russian locale save CSV.
// The separator is the tab when the first line holds one outside quotes, else the semicolon
// when it holds one (a Russian locale's CSV), else the comma. A field in double quotes may hold
// separators and line breaks, a doubled quote standing for one; records end at LF, CR LF or CR.
// Entry points: textAsUtf8, readDelimitedText.
#pragma once

#include "import/cell_table.h"

#include <optional>
#include <string>
#include <string_view>

// The text in UTF-8, by the encodings above, without a byte-order mark; nothing for UTF-16
// that does not convert.
std::optional<std::string> textAsUtf8(std::string_view bytes);

// The cells of the text (any of the encodings above). A quote left open, or text after a
// closing quote before the next separator, is the problem, at its record and field.
CellTableRead readDelimitedText(std::string_view bytes);
