// Lines of wrapped texts and the row heights that hold them. A column of width 10 is
// 70 - 5 = 65 pixels of text; an 8-point glyph is taken as 0.6 × 8 × 96/72 = 6.4 pixels,
// so 10 characters fit a line; a column of width 7.8 (55 - 5 = 50 pixels) holds 7.
#include "export/row_height.h"

#include <gtest/gtest.h>

TEST(RowHeight, TextsWrapAtTheirSpacesAndLongWordsBreak)
{
    EXPECT_EQ(wrappedLineCount("", 10, 8), 1);
    EXPECT_EQ(wrappedLineCount("Тест", 10, 8), 1);
    EXPECT_EQ(wrappedLineCount("Фактическая частота", 10, 8), 2);
    EXPECT_EQ(wrappedLineCount("Расчетное количество по МННК", 10, 8), 3);
    EXPECT_EQ(wrappedLineCount("Частота по МННК", 7.8, 8), 2);
    EXPECT_EQ(wrappedLineCount("Наименование аллеля", 40.5, 8), 1);
    // 10 characters fill a line exactly; 23 without a space take three lines.
    EXPECT_EQ(wrappedLineCount("0123456789", 10, 8), 1);
    EXPECT_EQ(wrappedLineCount("ABCDEFGHIJKLMNOPQRSTUVW", 10, 8), 3);
    EXPECT_EQ(wrappedLineCount("ab  ABCDEFGHIJKL", 10, 8), 3);
}

TEST(RowHeight, LinesOfTheFontAndPaddingNeverBelowTheDefault)
{
    EXPECT_DOUBLE_EQ(rowHeightForLines(1, 8), defaultRowHeight);
    EXPECT_DOUBLE_EQ(rowHeightForLines(3, 8), 33);  // 3 × 10 + 3
    EXPECT_DOUBLE_EQ(rowHeightForLines(2, 10), 28); // 2 × 12.5 + 3
}
