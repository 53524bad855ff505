#include "platform/file_sync.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>
#include <utility>

namespace {

SyncHook& syncHook()
{
    static SyncHook hook;
    return hook;
}

FileStepHook& stepHook()
{
    static FileStepHook hook;
    return hook;
}

bool syncDescriptor(int fd, const std::string& path)
{
    if (syncHook()) {
        if (const int injected = syncHook()(path); injected != 0) {
            errno = injected;
            return false;
        }
    }
    while (::fsync(fd) != 0)
        if (errno != EINTR) return false;
    return true;
}

bool syncOpened(const std::string& path, int flags)
{
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = syncDescriptor(fd, path);
    const int error = errno;
    ::close(fd);
    errno = error;
    return synced;
}

} // namespace

bool writeAllAt(int fd, std::span<const std::uint8_t> bytes, std::uint64_t offset)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done,
                                   static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool syncFile(int fd, const std::string& path)
{
    return syncDescriptor(fd, path);
}

bool syncFileAt(const std::string& path)
{
    return syncOpened(path, O_RDONLY);
}

bool syncFolder(const std::string& folder)
{
    return syncOpened(folder, O_RDONLY | O_DIRECTORY);
}

bool syncFolderOf(const std::string& path)
{
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return syncFolder(parent.empty() ? std::string(".") : parent.string());
}

bool writeFileWhole(const std::string& path, std::span<const std::uint8_t> bytes)
{
    const std::string temporary = path + ".new";
    fileStep(temporary);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written = writeAllAt(fd, bytes, 0) && syncFile(fd, temporary);
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || !renameFile(temporary, path)) {
        const int error = !written ? writeError : errno;
        ::unlink(temporary.c_str());
        errno = error;
        return false;
    }
    return syncFolderOf(path);
}

bool renameFile(const std::string& from, const std::string& to)
{
    fileStep(to);
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool removeFile(const std::string& path)
{
    fileStep(path);
    return ::unlink(path.c_str()) == 0;
}

void setSyncHook(SyncHook hook)
{
    syncHook() = std::move(hook);
}

void setFileStepHook(FileStepHook hook)
{
    stepHook() = std::move(hook);
}

void fileStep(const std::string& path)
{
    if (stepHook()) stepHook()(path);
}
