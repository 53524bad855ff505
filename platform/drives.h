// Drive letters on a system without them, and the file operations of backup and restore.
// A letter names the root of a medium: C is the user's home folder; D, E, … are the
// mounted removable, network and other data volumes in the order of their mount points.
// The environment variable VELIMOR_DRIVES, when set, names a folder whose sub-folders A … Z
// are the roots of drives A to Z instead (used by tests).
#pragma once

#include <optional>
#include <string>
#include <vector>

struct Drive
{
    char letter = 0;  // 'A' … 'Z'
    std::string root; // a folder path
};

struct MountPoint
{
    std::string path;
    std::string fileSystem;
};

// The lettered drives now present, in letter order.
std::vector<Drive> currentDrives();

// The letters given to mount points (from /proc/self/mounts): system file systems are left
// out; the home folder is C.
std::vector<Drive> assignDriveLetters(const std::vector<MountPoint>& mounts,
                                      const std::string& home);

// Reads the mount table in the format of /proc/self/mounts.
std::vector<MountPoint> parseMountTable(const std::string& text);

std::optional<std::string> driveRoot(char letter);

// Free bytes on the drive, or −1 when its root is missing or cannot be read.
long long driveFreeSpace(char letter);

// "E: — /media/ivan/FLASH, 14,2 ГБ свободно" (UTF-8), one line per drive.
std::vector<std::string> driveListLines();
std::string freeSpaceText(long long bytes);

bool folderExists(const std::string& path);
bool fileExists(const std::string& path);
bool createFolder(const std::string& path);

// Names of the ordinary files of a folder (no folders, hidden or special files) whose
// names match a wildcard pattern (* and ?), compared without regard to case.
std::vector<std::string> findFiles(const std::string& folder, const std::string& pattern);
bool wildcardMatch(const std::string& pattern, const std::string& name);

// Copies a file, replacing an existing target, and flushes the copy to the disk. Returns false
// on any failure, a failed flush included.
bool copyFile(const std::string& from, const std::string& to);

// The name of a file, or of a folder, in a folder that matches a name without regard to
// case, if any.
std::optional<std::string> findFileNoCase(const std::string& folder, const std::string& name);
std::optional<std::string> findFolderNoCase(const std::string& folder, const std::string& name);
