// What an append cut short by a crash or a power cut can leave at the end of a DBF file, and
// what opening the table keeps of it. Until an append's writes are on the disk, the file may
// hold its record in part (some sectors or pages of it, the rest zeros or the old end mark),
// a header whose record count already counts it or does not yet, and stray bytes after the
// records. Every record written whole before that stays whole.
#pragma once

#include "tables/dbf_format.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

struct DbfTail
{
    std::uint32_t records = 0;      // the records kept: the leading whole records
    std::uint64_t droppedBytes = 0; // the bytes after them cut away, the end mark aside
    bool mended = false;            // the header's count or the bytes after the records must change
};

// Examines a file whose layout is given. The kept records are those before the first one that
// is not whole (its deletion byte neither ' ' nor '*', or a NUL byte in a field other than
// text), among the records the file holds to their last byte, whatever the header's count
// says. Throws TableError naming the file when a record that would be cut away is whole, not
// deleted and live (its liveField true): a row made live was on the disk whole before it
// was, so only other damage can spoil a record before it.
DbfTail examineDbfTail(const DbfHeader& header, std::span<const std::uint8_t> file,
                       std::optional<std::size_t> liveField, std::string_view fileName);

// The message that a table was mended after an interrupted write (Russian, UTF-8), naming the
// file and what was dropped.
std::string mendedTableMessage(std::string_view fileName, std::uint32_t countBefore,
                               const DbfTail& tail);
