// Windows-1251 conversions over all 256 codes, upper case, trimming and the byte order of
// Cp1251Text.
#include "platform/cp1251.h"

#include <gtest/gtest.h>

TEST(Cp1251, EveryByteRoundTripsThroughUtf8)
{
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const EncodedText back = encodeCp1251(cp1251ToUtf8(Cp1251Text::fromBytes(byte)));
        ASSERT_TRUE(back.ok()) << "byte " << b;
        EXPECT_EQ(back.text.bytes(), byte) << "byte " << b;
    }
}

TEST(Cp1251, KnownCharactersMapToTheirCodes)
{
    EXPECT_EQ(toCp1251("Аа Яя Ёё №").bytes(), "\xC0\xE0 \xDF\xFF \xA8\xB8 \xB9");
    EXPECT_EQ(cp1251ToUtf8(Cp1251Text::fromBytes("\x88\x96\xAB")), "€–«");
}

TEST(Cp1251, ACharacterWithoutACodeIsReportedNeverReplaced)
{
    const EncodedText text = encodeCp1251("Aα₂");
    EXPECT_FALSE(text.ok());
    EXPECT_EQ(text.unencodable, U'α');
    EXPECT_EQ(encodeCp1251("x😀").unencodable, U'😀');
    EXPECT_THROW(toCp1251("ok ₂"), EncodingError);
    try {
        toCp1251("₂");
    } catch (const EncodingError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Символ «₂» нельзя записать в кодировке Windows-1251. Замените его.");
    }
    // A malformed UTF-8 sequence is refused too.
    EXPECT_FALSE(encodeCp1251("\xC3").ok());
}

TEST(Cp1251, UpperCaseCoversLatinAndCyrillic)
{
    EXPECT_EQ(cp1251ToUtf8(toCp1251("abc xyz абв эюя ёїіўєґ ђћџ").upper()),
              "ABC XYZ АБВ ЭЮЯ ЁЇІЎЄҐ ЂЋЏ");
    EXPECT_EQ(cp1251ToUtf8(toCp1251("123 №«»-µ").upper()), "123 №«»-µ");
}

TEST(Cp1251, TrimRemovesCodesUpToSpaceOnly)
{
    EXPECT_EQ(trimBlanks(std::string("\t\x01 a b \r\n", 9)), "a b");
    EXPECT_EQ(trimBlanks("\xA0x\xA0"), "\xA0x\xA0");
    EXPECT_EQ(trimBlanks("   "), "");
    EXPECT_EQ(Cp1251Text::fromBytes("\x1F\xC0 \xE0 ").trimmed().bytes(), "\xC0 \xE0");
}

TEST(Cp1251Text, OrdersByUnsignedBytesWithAPrefixFirstAndJoins)
{
    const auto text = [](const char* bytes) { return Cp1251Text::fromBytes(bytes); };
    // Cyrillic letters (0xC0 and up) sort after every Latin one, as signed chars would not.
    EXPECT_LT(text("z"), text("\xC0"));
    EXPECT_LT(text("\x7F"), text("\x80"));
    EXPECT_LT(text("A"), text("A "));
    EXPECT_EQ(text("A") + text(" ") + text("\xC0"), text("A \xC0"));
    EXPECT_NE(text("A"), text("a"));
    EXPECT_TRUE(text(" A B ").contains(text(" B ")));
    EXPECT_FALSE(text(" AB ").contains(text(" B ")));
    EXPECT_THROW(encodeCp1251("₂").checked(), EncodingError);
}
