#include "tables/table_file.h"

#include "platform/file_sync.h"
#include "tables/table_error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <utility>

namespace {

TableFileStepHook& stepHook()
{
    static TableFileStepHook hook;
    return hook;
}

void step(const std::string& path)
{
    if (stepHook()) stepHook()(path);
}

std::string systemReason(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return "нет доступа";
    case ENOENT:
        return "файл или папка не найдены";
    case ENOSPC:
        return "нет места на диске";
    case EDQUOT:
        return "нет места на диске: исчерпана квота";
    case EFBIG:
        return "нет места для файла: превышен допустимый размер";
    case EROFS:
        return "диск защищен от записи";
    case EISDIR:
        return "это папка, а не файл";
    case EMFILE:
    case ENFILE:
        return "открыто слишком много файлов";
    case EIO:
        return "ошибка ввода-вывода";
    default:
        return "системная ошибка " + std::to_string(error);
    }
}

std::string upperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// Writes all bytes at the offset (or at the end of a new file when offset is negative).
bool writeFully(int fd, std::span<const std::uint8_t> bytes, std::int64_t offset,
                const std::string& path)
{
    step(path);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            offset < 0 ? ::write(fd, bytes.data() + done, bytes.size() - done)
                       : ::pwrite(fd, bytes.data() + done, bytes.size() - done,
                                  static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes bytes into a new file at tempPath, flushes it, renames it to path and flushes the
// folder, so that the new file is on the disk, whole, under its name; errno on failure. A
// failure before the rename leaves path as it was.
bool writeAndRename(const std::string& tempPath, const std::string& path,
                    std::span<const std::uint8_t> bytes)
{
    const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written = writeFully(fd, bytes, -1, tempPath) && syncFile(fd, tempPath);
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (written && closed) step(path);
    if (!written || !closed || ::rename(tempPath.c_str(), path.c_str()) != 0) {
        const int error = !written ? writeError : errno;
        ::unlink(tempPath.c_str());
        errno = error;
        return false;
    }
    return syncFolderOf(path);
}

} // namespace

std::string resolveFileName(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists(path, error)) return path;
    const fs::path wanted(path);
    const fs::path folder = wanted.has_parent_path() ? wanted.parent_path() : fs::path(".");
    const std::string name = upperAscii(wanted.filename().string());
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (upperAscii(it->path().filename().string()) == name)
            return wanted.has_parent_path() ? (folder / it->path().filename()).string()
                                            : it->path().filename().string();
    return path;
}

TableFile::~TableFile()
{
    close();
}

TableFile::TableFile(TableFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), shownName_(std::move(other.shownName_)),
      path_(std::move(other.path_)), unsynced_(std::exchange(other.unsynced_, false))
{
}

TableFile& TableFile::operator=(TableFile&& other) noexcept
{
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        shownName_ = std::move(other.shownName_);
        path_ = std::move(other.path_);
        unsynced_ = std::exchange(other.unsynced_, false);
    }
    return *this;
}

TableFile TableFile::open(const std::string& path, std::string_view shownName,
                          std::span<const std::uint8_t> newFileBytes)
{
    TableFile file;
    file.shownName_ = shownName;
    file.path_ = path;
    file.fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (file.fd_ < 0 && errno == ENOENT) {
        if (!writeAndRename(path + ".new", path, newFileBytes))
            throw tableError(shownName,
                             "файла нет, и создать его не удалось (" + systemReason(errno) + ")");
        file.fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    }
    if (file.fd_ < 0)
        throw tableError(shownName, "файл не открывается (" + systemReason(errno) + ")");
    struct stat status = {};
    if (::fstat(file.fd_, &status) == 0 && !S_ISREG(status.st_mode))
        throw tableError(shownName, "это не файл таблицы");
    if (::flock(file.fd_, LOCK_EX | LOCK_NB) != 0)
        throw tableError(shownName, errno == EWOULDBLOCK
                                        ? "файл занят другой программой"
                                        : "файл не блокируется (" + systemReason(errno) + ")");
    return file;
}

std::vector<std::uint8_t> TableFile::readAll(std::size_t spare) const
{
    struct stat status = {};
    if (::fstat(fd_, &status) != 0)
        throw tableError(shownName_, "файл не читается (" + systemReason(errno) + ")");
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(status.st_size) + spare);
    bytes.resize(static_cast<std::size_t>(status.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pread(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw tableError(shownName_, "файл не читается (" + systemReason(errno) + ")");
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

void TableFile::writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes)
{
    unsynced_ = true;
    if (!writeFully(fd_, bytes, static_cast<std::int64_t>(offset), path_))
        throw tableError(shownName_, "запись в файл не удалась (" + systemReason(errno) + ")");
}

std::uint64_t TableFile::size() const
{
    struct stat status = {};
    if (::fstat(fd_, &status) != 0)
        throw tableError(shownName_, "файл не читается (" + systemReason(errno) + ")");
    return static_cast<std::uint64_t>(status.st_size);
}

void TableFile::truncate(std::uint64_t length)
{
    step(path_);
    unsynced_ = true;
    if (::ftruncate(fd_, static_cast<off_t>(length)) != 0)
        throw tableError(shownName_, "запись в файл не удалась (" + systemReason(errno) + ")");
}

void TableFile::sync()
{
    if (!unsynced_) return;
    if (!syncFile(fd_, path_))
        throw tableError(shownName_, "запись на диск не удалась (" + systemReason(errno) + ")");
    unsynced_ = false;
}

void TableFile::close()
{
    if (fd_ >= 0) ::close(fd_); // closing the descriptor releases the lock
    fd_ = -1;
    unsynced_ = false;
}

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    struct stat status = {};
    if (::fstat(fd, &status) == 0) bytes.reserve(static_cast<std::size_t>(status.st_size));
    std::uint8_t buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    ::close(fd);
    return bytes;
}

void replaceFile(const std::string& path, std::span<const std::uint8_t> bytes,
                 std::string_view shownName)
{
    if (!writeAndRename(path + ".new", path, bytes))
        throw tableError(shownName, "индексный файл " +
                                        std::filesystem::path(path).filename().string() +
                                        " не записывается (" + systemReason(errno) + ")");
}

void setTableFileStepHook(TableFileStepHook hook)
{
    stepHook() = std::move(hook);
}
