// The height of a row of wrapped texts: a spreadsheet draws a row at its default 15 points
// however many lines its wrapped texts take unless the file gives the row a height
// (LibreOffice Calc does so), so rows whose texts wrap carry a height worked out here.
// Entry points: wrappedLineCount, rowHeightForLines.
#pragma once

#include <string_view>

// The height a spreadsheet gives a row of its own, in points.
constexpr double defaultRowHeight = 15;

// The lines a UTF-8 text takes when wrapped at its spaces in a column of the given width
// (the column-width unit: characters of the default 11-point face, 7 pixels each) at the
// given font size. A glyph is taken as 0.6 of the font size wide, more than the faces that
// stand in for the default one use, so the count errs on the high side; a word longer than
// a line is broken over as many lines as it needs. An empty text takes one line.
int wrappedLineCount(std::string_view utf8, double columnWidth, double fontPoints);

// Points a row needs for that many lines of the given font size: 1.25 of the size a line
// and 3 points of cell padding, never less than the default height.
double rowHeightForLines(int lines, double fontPoints);
