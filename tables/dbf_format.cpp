#include "tables/dbf_format.h"

#include "tables/table_error.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t descriptorLength = 32;
constexpr std::uint8_t descriptorsEnd = 0x0D;

std::uint32_t readU16(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8);
}

std::uint32_t readU32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void writeU16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void writeU32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool knownVersion(std::uint8_t version)
{
    switch (version) {
    case 0x03:
    case 0x30:
    case 0x31:
    case 0xF5:
    case 0x83:
    case 0x8B:
        return true;
    default:
        return false;
    }
}

std::string hexByte(std::uint8_t b)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    return std::string("0x") + digits[b >> 4] + digits[b & 15];
}

// Width limits of the field types, as dBASE and FoxPro define them.
bool widthAllowed(char type, int width, int decimals)
{
    switch (type) {
    case 'C':
        return width >= 1;
    case 'N':
    case 'F':
        return width >= 1 && width <= 20 && decimals < width;
    case 'L':
        return width == 1;
    case 'D':
        return width == 8;
    default:
        return false;
    }
}

// Offsets from the descriptors when they describe fields inside the record that do not
// overlap; otherwise (all zero, or dBASE III's memory addresses) consecutive offsets.
void placeFields(std::vector<DbfField>& fields, const std::vector<std::uint32_t>& declared,
                 std::uint32_t recordLength, std::string_view fileName)
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> spans;
    bool usable = true;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::uint64_t end = std::uint64_t{declared[i]} + fields[i].width;
        if (declared[i] == 0 || end > recordLength) usable = false;
        spans.emplace_back(declared[i], static_cast<std::uint32_t>(end));
    }
    std::sort(spans.begin(), spans.end());
    for (std::size_t i = 1; usable && i < spans.size(); ++i)
        if (spans[i].first < spans[i - 1].second) usable = false;
    if (usable) {
        for (std::size_t i = 0; i < fields.size(); ++i)
            fields[i].offset = static_cast<int>(declared[i]);
        return;
    }
    std::uint64_t offset = 1;
    for (DbfField& f : fields) {
        f.offset = static_cast<int>(offset);
        offset += static_cast<std::uint64_t>(f.width);
    }
    if (offset > recordLength)
        throw tableError(fileName, "файл поврежден: длина записи (" + std::to_string(recordLength) +
                                       ") меньше суммы длин полей (" + std::to_string(offset) +
                                       ")");
}

} // namespace

DbfHeader parseDbfLayout(std::span<const std::uint8_t> bytes, std::string_view fileName)
{
    if (bytes.size() < 32)
        throw tableError(fileName, "файл поврежден: заголовок обрезан (" +
                                       std::to_string(bytes.size()) + " байт из 32)");
    const std::uint8_t* p = bytes.data();
    DbfHeader header;
    header.version = p[0];
    if (!knownVersion(header.version))
        throw tableError(fileName,
                         "неизвестный формат таблицы (версия " + hexByte(header.version) + ")");
    header.recordCount = readU32(p + 4);
    header.headerLength = readU16(p + 8);
    header.recordLength = readU16(p + 10);
    header.flags = p[28];
    header.codePage = p[29];
    if (header.codePage != 0 && header.codePage != cp1251CodePageMark)
        throw tableError(fileName, "кодовая страница " + hexByte(header.codePage) +
                                       " не поддерживается (нужна Windows-1251, " +
                                       hexByte(cp1251CodePageMark) + ")");
    if (header.headerLength > bytes.size())
        throw tableError(fileName, "файл поврежден: заголовок обрезан (" +
                                       std::to_string(bytes.size()) + " байт из " +
                                       std::to_string(header.headerLength) + ")");

    std::vector<std::uint32_t> declaredOffsets;
    for (std::size_t at = 32;; at += descriptorLength) {
        if (at < header.headerLength && p[at] == descriptorsEnd) break;
        if (at + descriptorLength > header.headerLength)
            throw tableError(fileName, "файл поврежден: нет признака конца описаний полей (0x0D)");
        const std::uint8_t* d = p + at;
        DbfField field;
        const std::size_t nameLength = std::find(d, d + 11, std::uint8_t{0}) - d;
        field.name.assign(reinterpret_cast<const char*>(d), nameLength);
        for (char& c : field.name)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        field.type = static_cast<char>(d[11]);
        field.width = d[16];
        field.decimals = d[17];
        const std::string shown = "«" + printableBytes(field.name) + "»";
        if (field.name.empty()) throw tableError(fileName, "файл поврежден: поле без имени");
        if (std::string("CNFLD").find(field.type) == std::string::npos || field.type == 0)
            throw tableError(fileName, "поле " + shown + " имеет неизвестный тип «" +
                                           printableBytes(std::string(1, field.type)) + "»");
        if (field.type != 'N' && field.type != 'F') field.decimals = 0;
        if (!widthAllowed(field.type, field.width, field.decimals))
            throw tableError(fileName, "файл поврежден: недопустимая ширина поля " + shown + " (" +
                                           std::to_string(field.width) + ")");
        for (const DbfField& other : header.fields)
            if (other.name == field.name)
                throw tableError(fileName, "поле " + shown + " описано дважды");
        declaredOffsets.push_back(readU32(d + 12));
        header.fields.push_back(std::move(field));
    }
    if (header.fields.empty()) throw tableError(fileName, "файл поврежден: в таблице нет полей");
    placeFields(header.fields, declaredOffsets, header.recordLength, fileName);
    return header;
}

DbfHeader parseDbfHeader(std::span<const std::uint8_t> bytes, std::uint64_t fileSize,
                         std::string_view fileName)
{
    const DbfHeader header = parseDbfLayout(bytes, fileName);
    const std::uint64_t recordsEnd =
        header.headerLength + std::uint64_t{header.recordCount} * header.recordLength;
    if (recordsEnd > fileSize) {
        const std::uint64_t held = fileSize > header.headerLength
                                       ? (fileSize - header.headerLength) / header.recordLength
                                       : 0;
        throw tableError(fileName, "файл поврежден: в заголовке указано записей " +
                                       std::to_string(header.recordCount) +
                                       ", а в файле их только " + std::to_string(held));
    }
    return header;
}

std::vector<std::uint8_t> newDbfFile(const std::vector<DbfField>& fields, const CalendarDate& today)
{
    const std::size_t headerLength = 32 + descriptorLength * fields.size() + 1;
    std::uint32_t recordLength = 1;
    for (const DbfField& f : fields)
        recordLength += static_cast<std::uint32_t>(f.width);
    std::vector<std::uint8_t> file(headerLength + 1, 0);
    DbfPrefix prefix{};
    prefix[0] = 0x03;
    writeU16(prefix.data() + 8, static_cast<std::uint32_t>(headerLength));
    writeU16(prefix.data() + 10, recordLength);
    stampDbfPrefix(prefix, 0, today);
    std::copy(prefix.begin(), prefix.end(), file.begin());
    std::uint32_t offset = 1;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::uint8_t* d = file.data() + 32 + descriptorLength * i;
        std::memcpy(d, fields[i].name.data(), std::min<std::size_t>(fields[i].name.size(), 10));
        d[11] = static_cast<std::uint8_t>(fields[i].type);
        writeU32(d + 12, offset);
        d[16] = static_cast<std::uint8_t>(fields[i].width);
        d[17] = static_cast<std::uint8_t>(fields[i].decimals);
        offset += static_cast<std::uint32_t>(fields[i].width);
    }
    file[headerLength - 1] = descriptorsEnd;
    file[headerLength] = dbfEndOfFile;
    return file;
}

void stampDbfPrefix(DbfPrefix& prefix, std::uint32_t recordCount, const CalendarDate& today)
{
    prefix[1] = static_cast<std::uint8_t>(std::clamp(today.year - 1900, 0, 255));
    prefix[2] = static_cast<std::uint8_t>(today.month);
    prefix[3] = static_cast<std::uint8_t>(today.day);
    writeU32(prefix.data() + 4, recordCount);
    prefix[28] |= dbfStructuralIndexFlag;
    if (prefix[29] == 0) prefix[29] = cp1251CodePageMark;
}
