// Windows-1251 text: conversion to and from UTF-8 for all 256 codes, and upper case.
// Inside the program every name and cell text is a Cp1251Text; UTF-8 exists only at the
// edges (windows, files of other programs, the command line), and these functions are the
// only way between the two.
#pragma once

#include "platform/cp1251_text.h"

#include <stdexcept>
#include <string>
#include <string_view>

// The result of encoding a UTF-8 text: the Windows-1251 bytes, or the first character that
// has no Windows-1251 code (never replaced by a stand-in).
struct EncodedText
{
    Cp1251Text text;
    char32_t unencodable = 0;
    bool ok() const { return unencodable == 0; }
    // The text; throws EncodingError with a Russian message naming the character when
    // there is one.
    Cp1251Text checked() const;
};

EncodedText encodeCp1251(std::string_view utf8);

// Encodes or throws EncodingError, as encodeCp1251(utf8).checked().
Cp1251Text toCp1251(std::string_view utf8);

std::string cp1251ToUtf8(const Cp1251Text& text);

// UTF-8 form of one Unicode character, for messages.
std::string utf8Char(char32_t c);

// Removes leading and trailing bytes with codes 0 to 32: blanks and control codes alike in
// Windows-1251 and in UTF-8, so number texts of either kind and stored field bytes are
// trimmed by it before they are read.
std::string trimBlanks(std::string_view text);

class EncodingError : public std::runtime_error
{
public:
    explicit EncodingError(char32_t character);
    char32_t character() const { return character_; }

private:
    char32_t character_;
};
