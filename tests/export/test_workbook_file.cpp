// The workbook file: which texts become number cells, the file's name, never replacing a
// file, and what a failed write leaves behind and says.
#include "export/shown_number.h"
#include "export/workbook_file.h"
#include "platform/file_sync.h"
#include "sample_results.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {
// The names of the files in a folder, in byte order.
std::vector<std::string> names(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string contents(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

class FixedClock
{
public:
    FixedClock()
    {
        setClockForTests([] { return LocalDateTime{2026, 3, 7, 9, 5, 4}; });
    }
    ~FixedClock() { setClockForTests({}); }
};
} // namespace

TEST(ShownNumber, ReportNumberTextsBecomeNumbersWithTheirDecimals)
{
    struct Case
    {
        const char* text;
        double value;
        int decimals;
    };
    for (const Case& c :
         {Case{"0.600", 0.6, 3}, Case{"   12.50", 12.5, 2}, Case{"36", 36, 0}, Case{"0", 0, 0},
          Case{"-0.125", -0.125, 3}, Case{"1.0000", 1, 4}, Case{" 24964.37 ", 24964.37, 2},
          Case{"123456789012.345", 123456789012.345, 3}}) {
        const std::optional<ShownNumber> number = readShownNumber(c.text);
        ASSERT_TRUE(number) << c.text;
        EXPECT_EQ(number->value, c.value) << c.text;
        EXPECT_EQ(number->decimals, c.decimals) << c.text;
    }
    EXPECT_EQ(numberFormat(0), "0");
    EXPECT_EQ(numberFormat(4), "0.0000");
}

TEST(ShownNumber, TextsANumberCellCannotShowStayTexts)
{
    for (const char* text :
         {"", "   ", "A", "-", "-0.000", "-0", "007", "00.5", "1E-5", "1e5", "1.", ".5", "+1",
          "1,5", "1 000", "0.5a", "1234567890.123456", "12345678901234567", "Сумма"})
        EXPECT_FALSE(readShownNumber(text)) << text;
}

TEST(WorkbookFile, NamedAfterTheMomentAndNeverReplacingAFile)
{
    EXPECT_EQ(workbookFileName({2026, 3, 7, 9, 5, 4}, 1), "Велимор 2026-03-07 09-05-04.xlsx");
    EXPECT_EQ(workbookFileName({2026, 12, 31, 23, 59, 59}, 3),
              "Велимор 2026-12-31 23-59-59 (3).xlsx");

    const ScratchFolder scratch;
    const std::string folder = scratch.path().string();
    const FixedClock clock;
    const std::string first = folder + "/Велимор 2026-03-07 09-05-04.xlsx";
    const std::string second = folder + "/Велимор 2026-03-07 09-05-04 (2).xlsx";
    std::ofstream(second) << "the user's own file";

    const WorkbookFileResult a = saveResultsWorkbook(codominanceSample(), folder);
    const WorkbookFileResult b = saveResultsWorkbook(dominanceSample(), folder);
    ASSERT_TRUE(a.ok()) << workbookFailureMessage(a);
    ASSERT_TRUE(b.ok()) << workbookFailureMessage(b);
    EXPECT_EQ(a.path, first);
    EXPECT_EQ(b.path, folder + "/Велимор 2026-03-07 09-05-04 (3).xlsx");
    EXPECT_EQ(contents(second), "the user's own file");
    EXPECT_EQ(contents(a.path).substr(0, 2), "PK"); // a zip package
    EXPECT_NE(contents(a.path), contents(b.path));
    // No temporary file stays behind.
    EXPECT_EQ(names(folder), (std::vector<std::string>{"Велимор 2026-03-07 09-05-04 (2).xlsx",
                                                       "Велимор 2026-03-07 09-05-04 (3).xlsx",
                                                       "Велимор 2026-03-07 09-05-04.xlsx"}));
}

TEST(WorkbookFile, AGivenPathIsReplacedOnlyByACompleteWorkbook)
{
    const ScratchFolder scratch;
    const std::string folder = scratch.path().string();
    const std::string path = folder + "/results.xlsx";
    std::ofstream(path) << "old";
    const WorkbookFileResult result = writeResultsWorkbook(codominanceSample(), path);
    ASSERT_TRUE(result.ok()) << workbookFailureMessage(result);
    EXPECT_EQ(result.path, path);
    EXPECT_EQ(contents(path).substr(0, 2), "PK");
    EXPECT_EQ(names(folder), std::vector<std::string>{"results.xlsx"});

    const WorkbookFileResult missing =
        writeResultsWorkbook(codominanceSample(), folder + "/no/results.xlsx");
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_EQ(missing.path, folder + "/no/results.xlsx");
}

TEST(WorkbookFile, AFolderThatCannotTakeTheFileIsReportedAndLeftAsItWas)
{
    const ScratchFolder scratch;
    const std::string folder = scratch.path().string();
    const WorkbookFileResult missing =
        saveResultsWorkbook(codominanceSample(), folder + "/Документы");
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_EQ(workbookFailureMessage(missing), "Не удалось сохранить книгу результатов в папке «" +
                                                   folder + "/Документы»: папка не найдена.");

    const std::string file = folder + "/file";
    std::ofstream(file) << "not a folder";
    const WorkbookFileResult notFolder = saveResultsWorkbook(codominanceSample(), file);
    EXPECT_EQ(notFolder.error, ENOTDIR);
    EXPECT_EQ(names(folder), std::vector<std::string>{"file"});
}

TEST(WorkbookFile, AWriteThatRunsOutOfRoomLeavesNoFile)
{
    const ScratchFolder scratch;
    const std::string folder = scratch.path().string();
    // A file size limit makes every write past 4 KiB fail, as a full disk does.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const WorkbookFileResult result = saveResultsWorkbook(largestTaskSample(), folder);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result.error, EFBIG);
    EXPECT_TRUE(names(folder).empty());
    EXPECT_EQ(workbookFailureMessage(result), "Не удалось сохранить книгу результатов в папке «" +
                                                  folder + "»: на диске недостаточно места.");
}

TEST(WorkbookFile, TheWorkbookIsOnTheDiskBeforeSuccessAndAFailedFlushLeavesNoFile)
{
    const ScratchFolder scratch;
    const std::string folder = scratch.path().string();
    FixedClock clock;
    std::vector<std::string> flushed;
    setSyncHook([&](const std::string& path) {
        flushed.push_back(path);
        return 0;
    });
    const WorkbookFileResult saved = saveResultsWorkbook(codominanceSample(), folder);
    ASSERT_TRUE(saved.ok()) << workbookFailureMessage(saved);
    // The temporary file before its rename, then the folder with the new name.
    ASSERT_EQ(flushed.size(), 2u);
    EXPECT_EQ(fs::path(flushed[0]).parent_path(), fs::path(folder));
    EXPECT_NE(flushed[0], saved.path);
    EXPECT_EQ(flushed[1], folder);

    setSyncHook([](const std::string&) { return EIO; });
    const WorkbookFileResult failed = saveResultsWorkbook(codominanceSample(), folder);
    setSyncHook({});
    EXPECT_EQ(failed.error, EIO);
    EXPECT_EQ(names(folder), std::vector<std::string>{fs::path(saved.path).filename().string()});
}

TEST(WorkbookFile, FailureMessagesSayWhy)
{
    WorkbookFileResult result;
    result.folder = "/home/user/Документы";
    result.path = "/home/user/Документы/Велимор 2026-03-07 09-05-04.xlsx";
    result.error = ENOSPC;
    EXPECT_EQ(workbookFailureMessage(result),
              "Не удалось сохранить книгу результатов в файле «/home/user/Документы/Велимор "
              "2026-03-07 09-05-04.xlsx»: на диске недостаточно места.");
    result.path.clear();
    result.error = EACCES;
    EXPECT_EQ(workbookFailureMessage(result),
              "Не удалось сохранить книгу результатов в папке «/home/user/Документы»: нет прав "
              "на запись в папку.");
    result.error = EROFS;
    EXPECT_NE(workbookFailureMessage(result).find("только для чтения"), std::string::npos);
}
