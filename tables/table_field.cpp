// Reading and writing one field of a row in the program's types.
#include "platform/cp1251.h"
#include "tables/field_codec.h"
#include "tables/table.h"
#include "tables/table_error.h"

#include <climits>
#include <cmath>

namespace {

// The text of stored bytes, for a message.
std::string shown(std::string_view bytes)
{
    return cp1251ToUtf8(Cp1251Text::fromBytes(trimBlanks(bytes)));
}

} // namespace

const DbfField& FieldView::definition() const
{
    return table_->header_.fields[field_];
}

std::string_view FieldView::stored() const
{
    const std::uint8_t* bytes = table_->rowBytes(row_);
    if (!bytes) return {};
    const DbfField& field = definition();
    return {reinterpret_cast<const char*>(bytes) + field.offset,
            static_cast<std::size_t>(field.width)};
}

void FieldView::fail(const std::string& problem) const
{
    throw tableError(table_->fileName(), "поле " + definition().name + ": " + problem);
}

double FieldView::asFloat() const
{
    const std::string_view bytes = stored();
    if (bytes.empty()) return 0;
    switch (definition().type) {
    case 'N':
    case 'F':
    case 'C':
        if (const std::optional<double> value = readNumber(bytes)) return *value;
        fail("«" + shown(bytes) + "» не число");
    case 'L':
        return readLogical(bytes) ? 1 : 0;
    default:
        fail("дату нельзя прочитать как число");
    }
}

int FieldView::asInteger() const
{
    const double value = std::round(asFloat());
    if (value < INT_MIN || value > INT_MAX)
        fail("число " + numberText(value) + " слишком велико для целого");
    return static_cast<int>(value);
}

Cp1251Text FieldView::asString() const
{
    const std::string_view bytes = stored();
    if (bytes.empty() || (definition().type != 'C' && isBlankField(bytes))) return {};
    switch (definition().type) {
    case 'C':
        return Cp1251Text::fromBytes(std::string(readText(bytes)));
    case 'L':
        return Cp1251Text::fromBytes(readLogical(bytes) ? "True" : "False");
    case 'D':
        if (const std::optional<CalendarDate> date = readDate(bytes))
            return Cp1251Text::fromBytes(formatShortDate(*date));
        return Cp1251Text::fromBytes(trimBlanks(bytes));
    default:
        if (const std::optional<double> value = readNumber(bytes))
            return Cp1251Text::fromBytes(numberText(*value));
        return Cp1251Text::fromBytes(trimBlanks(bytes));
    }
}

bool FieldView::asBoolean() const
{
    if (definition().type != 'L') fail("поле не логическое");
    return readLogical(stored());
}

CalendarDate FieldView::asDate() const
{
    if (definition().type != 'D') fail("поле не дата");
    const std::string_view bytes = stored();
    if (bytes.empty()) return {};
    if (const std::optional<CalendarDate> date = readDate(bytes)) return *date;
    fail("«" + shown(bytes) + "» не дата");
}

bool FieldView::isNull() const
{
    return isBlankField(stored());
}

void Field::store(const std::string& bytes) const
{
    owner_->requireEditing();
    std::copy(bytes.begin(), bytes.end(),
              owner_->buffer_.begin() + static_cast<std::ptrdiff_t>(definition().offset));
    owner_->modified_ = true;
}

void Field::setAsFloat(double value) const
{
    const DbfField& field = definition();
    switch (field.type) {
    case 'N':
    case 'F':
        if (const std::optional<std::string> text = numberField(value, field.width, field.decimals))
            return store(*text);
        fail("число " + numberText(value) + " не помещается в поле ширины " +
             std::to_string(field.width));
    case 'C':
        return store(textField(numberText(value), field.width));
    default:
        fail("в поле этого типа нельзя записать число");
    }
}

void Field::setAsInteger(int value) const
{
    setAsFloat(value);
}

void Field::setAsString(const Cp1251Text& text) const
{
    const DbfField& field = definition();
    if (field.type == 'C') return store(textField(text.bytes(), field.width));
    const Cp1251Text trimmed = text.trimmed();
    if (isBlankField(trimmed.bytes())) return clear();
    switch (field.type) {
    case 'N':
    case 'F':
        if (const std::optional<double> value = readNumber(trimmed.bytes()))
            return setAsFloat(*value);
        fail("«" + cp1251ToUtf8(text) + "» не число");
    case 'L': {
        const std::string word = trimmed.upper().bytes();
        if (word == "T" || word == "TRUE" || word == "Y") return setAsBoolean(true);
        if (word == "F" || word == "FALSE" || word == "N") return setAsBoolean(false);
        fail("«" + cp1251ToUtf8(text) + "» не логическое значение");
    }
    default:
        if (const std::optional<CalendarDate> date = parseShortDate(text.bytes()))
            return setAsDate(*date);
        fail("«" + cp1251ToUtf8(text) + "» не дата в формате " + localeShortDateFormat());
    }
}

void Field::setAsBoolean(bool value) const
{
    if (definition().type != 'L') fail("поле не логическое");
    store(value ? "T" : "F");
}

void Field::setAsDate(const CalendarDate& date) const
{
    if (definition().type != 'D') fail("поле не дата");
    if (!date.empty() && !isValidDate(date)) fail("такой даты нет");
    store(dateField(date));
}

void Field::clear() const
{
    store(std::string(static_cast<std::size_t>(definition().width), ' '));
}
