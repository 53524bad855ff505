// The files of one table on disk: the DBF file, held open and locked while the table is
// open and written in place, and whole-file reads and atomic replacement for its index.
// Every failure throws TableError naming the table's file and the system's reason. A created
// or replaced file is flushed to the disk (fsync) with its folder before the call returns;
// writes in place are flushed by sync.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The name of an existing file of the folder that equals `path`'s file name without regard to
// case (a restored "spisok.dbf" for "SPISOK.DBF"), or `path` itself when there is none.
std::string resolveFileName(const std::string& path);

class TableFile
{
public:
    TableFile() = default;
    ~TableFile();
    TableFile(TableFile&& other) noexcept;
    TableFile& operator=(TableFile&& other) noexcept;
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    // Opens the file for reading and writing and locks it against other programs; a missing
    // file is first created with newFileBytes (written beside it, then renamed into place).
    static TableFile open(const std::string& path, std::string_view shownName,
                          std::span<const std::uint8_t> newFileBytes);

    bool isOpen() const { return fd_ >= 0; }
    // The whole file, in a buffer with room for `spare` more bytes.
    std::vector<std::uint8_t> readAll(std::size_t spare = 0) const;
    void writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes);
    std::uint64_t size() const;
    // Cuts the file back to `length` bytes, after a write that extended it failed.
    void truncate(std::uint64_t length);
    // Flushes the writes made since the last sync to the disk; a failed flush throws.
    void sync();
    void close();

private:
    int fd_ = -1;
    std::string shownName_;
    std::string path_;
    bool unsynced_ = false;
};

// The whole content of a file, or nothing when it does not exist or cannot be read.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path);

// Replaces a file as a whole: writes a temporary file beside it, flushes it, renames it over
// the file and flushes the folder, so that a reader sees the old content or the new, never a
// part, and the new content is on the disk when the call returns.
void replaceFile(const std::string& path, std::span<const std::uint8_t> bytes,
                 std::string_view shownName);

// Test seam: called before every write, truncation and rename of a table's files, with the
// path written (for a rename, the path renamed onto), so that a test can see the order of the
// writes and stop the process at any one of them.
using TableFileStepHook = std::function<void(const std::string& path)>;
void setTableFileStepHook(TableFileStepHook hook);
