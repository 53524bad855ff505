// The files of one table on disk: the DBF file, held open while the table is open and written
// in place, and whole-file reads and atomic replacement for its index. Every failure throws
// TableError naming the table's file and the system's reason. A created or replaced file is
// flushed to the disk (fsync) with its folder before the call returns; writes in place are
// flushed by sync.
//
// Two locks guard the DBF file, both on single bytes far past its end (locks of the open file,
// so that they never cover the rows and leave alone other programs that lock records):
// - the writer lock, taken without waiting by an opening for writing and held until close, so
//   that two programs never both write one table;
// - the table lock, shared by an opening for reading for as long as it is open, and exclusive
//   by the writer only while it writes (lockForWriting), so that a reader takes the rows as
//   they stand between two writes and never in the middle of one. Either side waits up to ten
//   seconds for the other before it gives up with "файл занят другой программой".
// An opening takes its lock, then makes sure that the path still names the file it locked: a
// restore may have renamed another file onto it meanwhile, and then it opens that one.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The name of an existing file of the folder that equals `path`'s file name without regard to
// case (a restored "spisok.dbf" for "SPISOK.DBF"), or `path` itself when there is none.
std::string resolveFileName(const std::string& path);

enum class TableAccess
{
    write, // reading and writing, under the writer lock; a missing file is created
    read   // reading only, under the shared table lock; nothing is ever written
};

class TableFile
{
public:
    TableFile() = default;
    ~TableFile();
    TableFile(TableFile&& other) noexcept;
    TableFile& operator=(TableFile&& other) noexcept;
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    // Opens the file with its lock (see above). For writing, a missing file is first created
    // with newFileBytes (written beside it, then renamed into place).
    static TableFile open(const std::string& path, std::string_view shownName,
                          std::span<const std::uint8_t> newFileBytes, TableAccess access);

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

    // The exclusive table lock of a file opened for writing, taken waiting for readers to
    // finish, and given back.
    void lockForWriting();
    void unlockAfterWriting();

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
