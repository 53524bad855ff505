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

void setSyncHook(SyncHook hook)
{
    syncHook() = std::move(hook);
}
