// The DBF header: version, record count, layout and field descriptors. parseDbfHeader
// reads the header of any dBASE/FoxPro table of the versions the archive accepts, whatever
// its header length, field offsets and field order; newDbfHeader writes a new table's.
#pragma once

#include "platform/short_date.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct DbfField
{
    std::string name; // as stored: upper case, at most 10 characters
    char type = 'C';  // C, N, F, L or D
    int width = 0;
    int decimals = 0;
    int offset = 0; // position in the record; the deletion byte is at 0
};

struct DbfHeader
{
    std::uint8_t version = 0x03;
    std::uint32_t recordCount = 0;
    std::uint32_t headerLength = 0; // offset of the first record
    std::uint32_t recordLength = 0; // deletion byte included
    std::uint8_t flags = 0;
    std::uint8_t codePage = 0;
    std::vector<DbfField> fields;
};

using DbfPrefix = std::array<std::uint8_t, 32>; // the fixed part of the header

inline constexpr std::uint8_t dbfStructuralIndexFlag = 0x01;
inline constexpr std::uint8_t cp1251CodePageMark = 0xC9;
inline constexpr std::uint8_t dbfEndOfFile = 0x1A;
inline constexpr std::uint8_t dbfLiveRecord = ' ';
inline constexpr std::uint8_t dbfDeletedRecord = '*';

// Reads the header from the first bytes of a file (bytes may hold the whole file). Throws
// TableError naming fileName for a truncated or damaged header, an unknown version, field type
// or code page, and a missing end mark of the field descriptors (0x0D). The record count is
// taken as it stands.
DbfHeader parseDbfLayout(std::span<const std::uint8_t> bytes, std::string_view fileName);

// parseDbfLayout, and a TableError too when the record count is larger than the file of
// fileSize bytes holds.
DbfHeader parseDbfHeader(std::span<const std::uint8_t> bytes, std::uint64_t fileSize,
                         std::string_view fileName);

// The whole file of a new empty table: version 0x03, flag 0x01 (structural CDX), code page
// mark 0xC9, the fields at consecutive offsets, then the end-of-file byte.
std::vector<std::uint8_t> newDbfFile(const std::vector<DbfField>& fields,
                                     const CalendarDate& today);

// Stamps the fixed part of a header for a write: the date of last update, the record
// count, the structural index flag and, when none was set, the Windows-1251 mark.
void stampDbfPrefix(DbfPrefix& prefix, std::uint32_t recordCount, const CalendarDate& today);
