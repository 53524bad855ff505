// Windows-1251 text as a type of its own: every name, cell text and character field inside
// the program. It never turns into or out of std::string, C strings, UTF-8 or QString by
// itself: bytes go in through fromBytes and come out through bytes() (for table files,
// byte-wise checks and hashing); UTF-8 conversions are in platform/cp1251.h.
#pragma once

#include <compare>
#include <cstddef>
#include <string>

class Cp1251Text
{
public:
    Cp1251Text() = default;

    // The text of these bytes, taken as Windows-1251 as they are.
    static Cp1251Text fromBytes(std::string bytes)
    {
        Cp1251Text text;
        text.bytes_ = std::move(bytes);
        return text;
    }

    const std::string& bytes() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }
    bool empty() const { return bytes_.empty(); }

    // Without its leading and trailing bytes of codes 0 to 32.
    Cp1251Text trimmed() const;
    // Upper case: Latin, Russian and the other Cyrillic letters of the code page (ё→Ё, і→І,
    // ў→Ў and the rest); other bytes stay as they are.
    Cp1251Text upper() const;
    // Whether the text holds part as a run of bytes.
    bool contains(const Cp1251Text& part) const
    {
        return bytes_.find(part.bytes_) != std::string::npos;
    }

    Cp1251Text& operator+=(const Cp1251Text& tail)
    {
        bytes_ += tail.bytes_;
        return *this;
    }
    friend Cp1251Text operator+(Cp1251Text head, const Cp1251Text& tail)
    {
        head += tail;
        return head;
    }

    friend bool operator==(const Cp1251Text&, const Cp1251Text&) = default;
    // Ordinal order by unsigned byte, a prefix first: the order of the archive's index.
    friend std::strong_ordering operator<=>(const Cp1251Text& a, const Cp1251Text& b)
    {
        return a.bytes_.compare(b.bytes_) <=> 0;
    }

private:
    std::string bytes_;
};
