// Flushing written files and folders to the disk (fsync), so that what the program reports as
// written survives a power cut: a file's data after it was written, and a folder's entries
// after a file in it was created or renamed. Each routine returns false with errno set when
// the flush fails; the caller treats that as a failed write. Beside them, the seam through
// which tests see every change the archive makes to its files.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

// Flushes an open file; path only names it for the test seam.
bool syncFile(int fd, const std::string& path);
// Flushes the file at path (opened for the flush).
bool syncFileAt(const std::string& path);
// Flushes the entries of a folder.
bool syncFolder(const std::string& folder);
// Flushes the folder that holds a file ("." for a bare name).
bool syncFolderOf(const std::string& path);

// Writes all the bytes at the offset of an open file, going on after a short or interrupted
// write; false with errno set on failure.
bool writeAllAt(int fd, std::span<const std::uint8_t> bytes, std::uint64_t offset);

// Writes a file as a whole: a new file beside it (path + ".new"), flushed, renamed over it, and
// the folder flushed, so that the file holds the old content or the new, never a part, and the
// new content is on the disk when the call returns. False with errno set on failure, which
// leaves the file as it was.
bool writeFileWhole(const std::string& path, std::span<const std::uint8_t> bytes);

// A rename and a removal told to the step seam first; false with errno set on failure. Neither
// flushes the folder.
bool renameFile(const std::string& from, const std::string& to);
bool removeFile(const std::string& path);

// Test seam: told of every flush before it runs, with the path of the file or folder; a
// result other than 0 fails the flush with that error number instead.
using SyncHook = std::function<int(const std::string& path)>;
void setSyncHook(SyncHook hook);

// Test seam: told before every write, truncation, rename, copy and removal of an archive file
// (the table files, backup and restore), with the path changed (for a rename, the path renamed
// onto), so that a test can see the order of the changes, stop the process at any one of
// them, or take what the disk holds at that moment.
using FileStepHook = std::function<void(const std::string& path)>;
void setFileStepHook(FileStepHook hook);
void fileStep(const std::string& path);
