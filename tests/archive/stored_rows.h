// The records of a table file as stored, read from the file itself and not through the
// table engine: each field's text in UTF-8, texts without their trailing blanks and numbers,
// logicals and dates without any blanks ("9999", "T", "20240305"), in record order.
#pragma once

#include "platform/cp1251.h"
#include "tables/dbf_format.h"
#include "tables/field_codec.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

using StoredRow = std::map<std::string, std::string>;

inline std::vector<StoredRow> storedRows(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    const DbfHeader header = parseDbfHeader(bytes, bytes.size(), path);
    std::vector<StoredRow> rows;
    for (std::uint32_t r = 0; r < header.recordCount; ++r) {
        const char* record = reinterpret_cast<const char*>(bytes.data()) + header.headerLength +
                             std::size_t{r} * header.recordLength;
        StoredRow row;
        for (const DbfField& field : header.fields) {
            const std::string_view stored(record + field.offset,
                                          static_cast<std::size_t>(field.width));
            row[field.name] =
                field.type == 'C'
                    ? cp1251ToUtf8(Cp1251Text::fromBytes(std::string(readText(stored))))
                    : trimBlanks(stored);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

// The rows whose field OT holds "T".
inline std::vector<StoredRow> liveRows(const std::string& path)
{
    std::vector<StoredRow> rows;
    for (StoredRow& row : storedRows(path))
        if (row["OT"] == "T") rows.push_back(std::move(row));
    return rows;
}
