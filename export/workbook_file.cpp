#include "export/workbook_file.h"

#include "export/results_workbook.h"
#include "platform/file_sync.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
std::string joinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates a new empty file with the usual permissions; returns 0 or the error number.
int createNewFile(const std::string& path)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return errno;
    return close(fd) == 0 ? 0 : errno;
}

// Writer failures that come from a file operation carry the system's error number.
bool isFileError(lxw_error error)
{
    switch (error) {
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        return true;
    default:
        return false;
    }
}

// Writes the workbook into a new hidden file in folder. On success result.path names it;
// on failure nothing is left behind and result carries the reason.
WorkbookFileResult writeTemporary(const WorkbookLayout& layout, const std::string& folder)
{
    WorkbookFileResult result;
    result.folder = folder;
    for (int n = 1;; ++n) {
        result.path = joinPath(folder, ".velimor-" + std::to_string(getpid()) + "-" +
                                           std::to_string(n) + ".tmp");
        result.error = createNewFile(result.path);
        if (result.error != EEXIST) break;
    }
    if (result.error != 0) {
        result.path.clear();
        return result;
    }
    errno = 0;
    const lxw_error error = layout(result.path);
    if (error == LXW_NO_ERROR) return result;
    if (isFileError(error) && errno != 0)
        result.error = errno;
    else
        result.writerError = lxw_strerror(error);
    unlink(result.path.c_str());
    result.path.clear();
    return result;
}

// Moves the complete temporary file onto path, flushing the file before and the folder after
// the rename, so the workbook is on the disk under its name when success is reported; on a
// failure before the rename removes the temporary file.
void moveInto(const std::string& temporary, WorkbookFileResult& result)
{
    if (syncFileAt(temporary) && std::rename(temporary.c_str(), result.path.c_str()) == 0) {
        if (!syncFolder(result.folder.empty() ? "." : result.folder)) result.error = errno;
        return;
    }
    result.error = errno;
    unlink(temporary.c_str());
}

WorkbookLayout resultsLayout(const ResultTexts& texts)
{
    return [&texts](const std::string& path) { return writeResultsLayout(texts, path); };
}

} // namespace

std::string workbookFileName(const LocalDateTime& moment, int copy)
{
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d-%02d-%02d", moment.year, moment.month,
                  moment.day, moment.hour, moment.minute, moment.second);
    std::string name = std::string("Велимор ") + stamp;
    if (copy > 1) name += " (" + std::to_string(copy) + ")";
    return name + ".xlsx";
}

WorkbookFileResult saveResultsWorkbook(const ResultTexts& texts, const std::string& folder)
{
    const LocalDateTime moment = currentDateTime();
    WorkbookFileResult result = writeTemporary(resultsLayout(texts), folder);
    if (!result.ok()) return result;
    const std::string temporary = result.path;
    // Claiming the name with an exclusive create means no file is ever replaced, even one
    // that appears while the workbook is being written.
    for (int copy = 1;; ++copy) {
        result.path = joinPath(folder, workbookFileName(moment, copy));
        result.error = createNewFile(result.path);
        if (result.error != EEXIST) break;
    }
    if (result.error != 0) {
        unlink(temporary.c_str());
        return result;
    }
    moveInto(temporary, result);
    if (result.error != 0) unlink(result.path.c_str());
    return result;
}

WorkbookFileResult writeResultsWorkbook(const ResultTexts& texts, const std::string& path)
{
    return writeWorkbook(resultsLayout(texts), path);
}

WorkbookFileResult writeWorkbook(const WorkbookLayout& layout, const std::string& path)
{
    WorkbookFileResult result = writeTemporary(layout, folderOf(path));
    if (!result.ok()) {
        result.path = path;
        return result;
    }
    const std::string temporary = result.path;
    result.path = path;
    moveInto(temporary, result);
    return result;
}

std::string writeFailureReason(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return "на диске недостаточно места";
    case EACCES:
    case EPERM:
        return "нет прав на запись в папку";
    case EROFS:
        return "диск доступен только для чтения";
    case ENOENT:
    case ENOTDIR:
        return "папка не найдена";
    case EIO:
        return "ошибка ввода-вывода на диске";
    default:
        return std::string("ошибка записи: ") + std::strerror(error);
    }
}

std::string workbookFailureMessage(const WorkbookFileResult& result)
{
    const std::string where =
        result.path.empty() ? "в папке «" + result.folder + "»" : "в файле «" + result.path + "»";
    const std::string why = result.writerError.empty()
                                ? writeFailureReason(result.error)
                                : "ошибка записи книги: " + result.writerError;
    return "Не удалось сохранить книгу результатов " + where + ": " + why + ".";
}
