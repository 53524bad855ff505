// The sizes and checksums (CRC-32) of a set of files, kept in a small text file that is written
// whole or not at all: the manifest that says which files make one backup, and the record of a
// restore under way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct FileSum
{
    std::string name; // in its folder
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    bool operator==(const FileSum&) const = default;
};

// The sum of a file of a folder; nothing when it cannot be read.
std::optional<FileSum> sumOfFile(const std::string& folder, const std::string& name);

// Whether the file of the folder that the sum names has that size and checksum.
bool matchesSum(const std::string& folder, const FileSum& sum);

// Writes the list to path whole (platform/file_sync.h: writeFileWhole); false on failure.
bool writeFileSums(const std::string& path, const std::vector<FileSum>& sums);

// The list of a file written by writeFileSums; nothing when there is none or it is not whole.
std::optional<std::vector<FileSum>> readFileSums(const std::string& path);
