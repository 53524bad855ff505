// The structural CDX index of an archive table: one tag, INDEX, on the numeric field INDEX.
// buildCdx writes the whole file from the sorted keys (file header, tag list, tag header,
// then the tag's compact leaves and interior nodes); readCdxIndexTag walks the tag's tree
// of a file written by any FoxPro-compatible writer, using each node's own bit widths.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

inline constexpr std::string_view cdxIndexTag = "INDEX";

struct CdxEntry
{
    std::uint64_t key = 0;    // the eight key bytes, most significant first
    std::uint32_t record = 0; // 1-based record number in the DBF file
    bool operator==(const CdxEntry&) const = default;
};

// The key of a numeric value: its IEEE double, big-endian, with the top bit flipped for a
// value of 0 or more (−0 counts as +0) and every bit inverted for a negative value, so
// that keys compare as unsigned numbers in the order of the values.
std::uint64_t numericIndexKey(double value);

// The whole CDX file for `count` entries sorted by key, equal keys by record number;
// entryAt(i) gives entry i (it is asked twice for each).
std::vector<std::uint8_t> buildCdx(std::size_t count,
                                   const std::function<CdxEntry(std::size_t)>& entryAt);
std::vector<std::uint8_t> buildCdx(std::span<const CdxEntry> entries);

// Walks tag INDEX in the order of its tree, giving each entry to visit until it returns
// false. False when visit stopped the walk, or when the file is not a CDX, is damaged, or has
// no ascending tag INDEX on the expression INDEX with an eight-byte key and no FOR clause.
bool walkCdxIndexTag(std::span<const std::uint8_t> file,
                     const std::function<bool(const CdxEntry&)>& visit);

// The entries of tag INDEX in the order of its tree, or nothing when walkCdxIndexTag fails.
std::optional<std::vector<CdxEntry>> readCdxIndexTag(std::span<const std::uint8_t> file);
