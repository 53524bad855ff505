// Flushing written files and folders to the disk (fsync), so that what the program reports as
// written survives a power cut: a file's data after it was written, and a folder's entries
// after a file in it was created or renamed. Each routine returns false with errno set when
// the flush fails; the caller treats that as a failed write.
#pragma once

#include <functional>
#include <string>

// Flushes an open file; path only names it for the test seam.
bool syncFile(int fd, const std::string& path);
// Flushes the file at path (opened for the flush).
bool syncFileAt(const std::string& path);
// Flushes the entries of a folder.
bool syncFolder(const std::string& folder);
// Flushes the folder that holds a file ("." for a bare name).
bool syncFolderOf(const std::string& path);

// Test seam: told of every flush before it runs, with the path of the file or folder; a
// result other than 0 fails the flush with that error number instead.
using SyncHook = std::function<int(const std::string& path)>;
void setSyncHook(SyncHook hook);
