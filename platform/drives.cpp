#include "platform/drives.h"

#include "platform/file_sync.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/statvfs.h>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool startsWith(const std::string& s, const std::string& prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0 &&
           (s.size() == prefix.size() || s[prefix.size()] == '/');
}

bool isSystemMount(const MountPoint& m)
{
    static const char* systemTypes[] = {"proc",        "sysfs",          "devtmpfs",  "devpts",
                                        "tmpfs",       "cgroup",         "cgroup2",   "overlay",
                                        "squashfs",    "securityfs",     "pstore",    "debugfs",
                                        "tracefs",     "mqueue",         "hugetlbfs", "configfs",
                                        "fusectl",     "binfmt_misc",    "autofs",    "bpf",
                                        "efivarfs",    "rpc_pipefs",     "nsfs",      "ramfs",
                                        "fuse.portal", "fuse.gvfsd-fuse"};
    for (const char* type : systemTypes)
        if (m.fileSystem == type) return true;
    if (m.path == "/") return true;
    if (startsWith(m.path, "/run/media")) return false;
    static const char* systemFolders[] = {"/boot", "/efi", "/proc", "/sys", "/run", "/dev",
                                          "/snap", "/usr", "/var",  "/etc", "/tmp", "/opt"};
    for (const char* folder : systemFolders)
        if (startsWith(m.path, folder)) return true;
    return false;
}

// Mount paths escape blanks and a few other bytes as octal (\040).
std::string unescapeMountPath(const std::string& s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() &&
            std::isdigit(static_cast<unsigned char>(s[i + 1]))) {
            out.push_back(static_cast<char>(std::strtol(s.substr(i + 1, 3).c_str(), nullptr, 8)));
            i += 3;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

std::vector<MountPoint> parseMountTable(const std::string& text)
{
    std::vector<MountPoint> mounts;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, path, type;
        if (fields >> device >> path >> type) mounts.push_back({unescapeMountPath(path), type});
    }
    return mounts;
}

std::vector<Drive> assignDriveLetters(const std::vector<MountPoint>& mounts,
                                      const std::string& home)
{
    std::vector<std::string> paths;
    for (const MountPoint& m : mounts)
        if (!isSystemMount(m) && std::find(paths.begin(), paths.end(), m.path) == paths.end())
            paths.push_back(m.path);
    std::sort(paths.begin(), paths.end());
    std::vector<Drive> drives;
    if (!home.empty()) drives.push_back({'C', home});
    char letter = 'D';
    for (const std::string& path : paths) {
        if (letter > 'Z') break;
        drives.push_back({letter++, path});
    }
    return drives;
}

std::vector<Drive> currentDrives()
{
    if (const char* folder = std::getenv("VELIMOR_DRIVES"); folder && *folder) {
        std::vector<Drive> drives;
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            const std::string root = std::string(folder) + "/" + letter;
            if (folderExists(root)) drives.push_back({letter, root});
        }
        return drives;
    }
    const char* home = std::getenv("HOME");
    return assignDriveLetters(parseMountTable(readFile("/proc/self/mounts")), home ? home : "");
}

std::optional<std::string> driveRoot(char letter)
{
    for (const Drive& d : currentDrives())
        if (d.letter == letter) return d.root;
    return std::nullopt;
}

long long driveFreeSpace(char letter)
{
    const auto root = driveRoot(letter);
    struct statvfs info
    {
    };
    if (!root || statvfs(root->c_str(), &info) != 0) return -1;
    return static_cast<long long>(info.f_bavail) * static_cast<long long>(info.f_frsize);
}

std::string freeSpaceText(long long bytes)
{
    const char* units[] = {"Б", "КБ", "МБ", "ГБ", "ТБ"};
    double value = static_cast<double>(bytes);
    int unit = 0;
    while (value >= 1024 && unit < 4) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f" : "%.1f", value);
    std::string shown = text;
    std::replace(shown.begin(), shown.end(), '.', ',');
    return shown + " " + units[unit] + " свободно";
}

std::vector<std::string> driveListLines()
{
    std::vector<std::string> lines;
    for (const Drive& d : currentDrives()) {
        const long long free = driveFreeSpace(d.letter);
        lines.push_back(std::string(1, d.letter) + ": — " + d.root + ", " +
                        (free < 0 ? std::string("недоступен") : freeSpaceText(free)));
    }
    return lines;
}

bool folderExists(const std::string& path)
{
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool fileExists(const std::string& path)
{
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool createFolder(const std::string& path)
{
    std::error_code ec;
    return fs::create_directory(path, ec) || folderExists(path);
}

bool wildcardMatch(const std::string& pattern, const std::string& name)
{
    // Iterative matching with one backtrack point for the last star.
    std::size_t p = 0, n = 0, star = std::string::npos, mark = 0;
    auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    };
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::vector<std::string> findFiles(const std::string& folder, const std::string& pattern)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (name.empty() || name[0] == '.' || !it->is_regular_file(typeError)) continue;
        if (wildcardMatch(pattern, name)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool copyFile(const std::string& from, const std::string& to)
{
    std::error_code ec;
    return fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec) && !ec &&
           syncFileAt(to);
}

std::optional<std::string> findFileNoCase(const std::string& folder, const std::string& name)
{
    for (const std::string& found : findFiles(folder, "*"))
        if (wildcardMatch(name, found)) return found;
    return std::nullopt;
}

std::optional<std::string> findFolderNoCase(const std::string& folder, const std::string& name)
{
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        const std::string found = it->path().filename().string();
        if (it->is_directory(typeError) && wildcardMatch(name, found)) return found;
    }
    return std::nullopt;
}
