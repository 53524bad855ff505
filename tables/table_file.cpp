#include "tables/table_file.h"

#include "platform/file_sync.h"
#include "tables/table_error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <utility>

namespace {

// The bytes the locks stand on: far past the end of any table.
constexpr off_t writerLockByte = off_t{1} << 62;
constexpr off_t tableLockByte = writerLockByte + 1;
constexpr auto lockPatience = std::chrono::seconds(10);
const char* const busy = "файл занят другой программой";

void step(const std::string& path)
{
    fileStep(path);
}

bool setLock(int fd, short type, off_t byte)
{
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = byte;
    lock.l_len = 1;
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// Takes a lock, retrying while another program holds a conflicting one; false with errno set
// when the patience runs out (EWOULDBLOCK) or locking fails for another reason.
bool waitForLock(int fd, short type, off_t byte, std::chrono::steady_clock::duration patience)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!setLock(fd, type, byte)) {
        if (errno != EAGAIN && errno != EACCES && errno != EINTR) return false;
        if (std::chrono::steady_clock::now() >= deadline) {
            errno = EWOULDBLOCK;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Whether the path still names the open file (a rename may have put another file there).
bool namesFile(const std::string& path, int fd)
{
    struct stat opened = {};
    struct stat named = {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
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
                          std::span<const std::uint8_t> newFileBytes, TableAccess access)
{
    const bool writing = access == TableAccess::write;
    TableFile file;
    file.shownName_ = shownName;
    file.path_ = path;
    for (int attempt = 0;; ++attempt) {
        file.fd_ = ::open(path.c_str(), (writing ? O_RDWR : O_RDONLY) | O_CLOEXEC);
        if (file.fd_ < 0 && errno == ENOENT && writing) {
            if (!writeFileWhole(path, newFileBytes))
                throw tableError(shownName, "файла нет, и создать его не удалось (" +
                                                systemReason(errno) + ")");
            file.fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        }
        if (file.fd_ < 0)
            throw tableError(shownName, "файл не открывается (" + systemReason(errno) + ")");
        struct stat status = {};
        if (::fstat(file.fd_, &status) == 0 && !S_ISREG(status.st_mode))
            throw tableError(shownName, "это не файл таблицы");
        const bool locked = writing ? setLock(file.fd_, F_WRLCK, writerLockByte)
                                    : waitForLock(file.fd_, F_RDLCK, tableLockByte, lockPatience);
        if (!locked)
            throw tableError(shownName, errno == EAGAIN || errno == EACCES || errno == EWOULDBLOCK
                                            ? busy
                                            : "файл не блокируется (" + systemReason(errno) + ")");
        if (namesFile(path, file.fd_)) return file;
        file.close();
        if (attempt == 10) throw tableError(shownName, busy);
    }
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
    step(path_);
    if (!writeAllAt(fd_, bytes, offset))
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
    if (fd_ >= 0) ::close(fd_); // closing the descriptor releases its locks
    fd_ = -1;
    unsynced_ = false;
}

void TableFile::lockForWriting()
{
    if (!waitForLock(fd_, F_WRLCK, tableLockByte, lockPatience))
        throw tableError(shownName_, errno == EWOULDBLOCK
                                         ? busy
                                         : "файл не блокируется (" + systemReason(errno) + ")");
}

void TableFile::unlockAfterWriting()
{
    setLock(fd_, F_UNLCK, tableLockByte);
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
    if (!writeFileWhole(path, bytes))
        throw tableError(shownName, "индексный файл " +
                                        std::filesystem::path(path).filename().string() +
                                        " не записывается (" + systemReason(errno) + ")");
}
