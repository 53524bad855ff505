// Drive letters, the file search and copy used by backup and restore.
#include "platform/drives.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class DriveFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(base / "E");
        fs::create_directories(base / "C");
        setenv("VELIMOR_DRIVES", base.c_str(), 1);
    }
    void TearDown() override { unsetenv("VELIMOR_DRIVES"); }
    void write(const fs::path& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }
    ScratchFolder scratch;
    fs::path base = scratch.path();
};

} // namespace

TEST(DriveLetters, DataVolumesGetLettersFromDInMountPointOrderAndHomeIsC)
{
    const std::string table = "sysfs /sys sysfs rw 0 0\n"
                              "proc /proc proc rw 0 0\n"
                              "/dev/vda1 / ext4 rw 0 0\n"
                              "/dev/vda2 /boot ext4 rw 0 0\n"
                              "tmpfs /run tmpfs rw 0 0\n"
                              "/dev/sdb1 /media/ivan/FLASH\\040DISK vfat rw 0 0\n"
                              "server:/share /mnt/net nfs4 rw 0 0\n"
                              "/dev/sdc1 /run/media/ivan/CARD exfat rw 0 0\n"
                              "overlay /var/lib/docker/x overlay rw 0 0\n"
                              "/dev/loop0 /snap/core/1 squashfs ro 0 0\n";
    const std::vector<Drive> drives = assignDriveLetters(parseMountTable(table), "/home/ivan");
    ASSERT_EQ(drives.size(), 4u);
    EXPECT_EQ(drives[0].letter, 'C');
    EXPECT_EQ(drives[0].root, "/home/ivan");
    EXPECT_EQ(drives[1].letter, 'D');
    EXPECT_EQ(drives[1].root, "/media/ivan/FLASH DISK");
    EXPECT_EQ(drives[2].root, "/mnt/net");
    EXPECT_EQ(drives[3].letter, 'F');
    EXPECT_EQ(drives[3].root, "/run/media/ivan/CARD");
}

TEST(DriveLetters, FreeSpaceTexts)
{
    EXPECT_EQ(freeSpaceText(512), "512 Б свободно");
    EXPECT_EQ(freeSpaceText(15246913536LL), "14,2 ГБ свободно");
}

TEST_F(DriveFolder, TheEnvironmentFolderReplacesTheMountedMedia)
{
    const std::vector<Drive> drives = currentDrives();
    ASSERT_EQ(drives.size(), 2u);
    EXPECT_EQ(drives[0].letter, 'C');
    EXPECT_EQ(drives[1].letter, 'E');
    EXPECT_EQ(driveRoot('E'), (base / "E").string());
    EXPECT_EQ(driveRoot('F'), std::nullopt);
    EXPECT_GE(driveFreeSpace('E'), 0);
    EXPECT_EQ(driveFreeSpace('F'), -1);
    const std::vector<std::string> lines = driveListLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].rfind("E: — " + (base / "E").string() + ", ", 0), 0u);
}

TEST_F(DriveFolder, SearchFindsOrdinaryFilesByPatternWithoutRegardToCase)
{
    const fs::path folder = base / "C";
    write(folder / "SPISOK.DBF", "s");
    write(folder / "allel.dbf", "a");
    write(folder / "FENOTIP.DBF.bak", "b");
    write(folder / "SPISOK.CDX", "c");
    write(folder / ".hidden.dbf", "h");
    fs::create_directory(folder / "old.dbf");
    EXPECT_EQ(findFiles(folder.string(), "*.dbf*"),
              (std::vector<std::string>{"FENOTIP.DBF.bak", "SPISOK.DBF", "allel.dbf"}));
    EXPECT_EQ(findFiles(folder.string(), "*.*").size(), 4u);
    EXPECT_EQ(findFiles((base / "missing").string(), "*"), std::vector<std::string>{});
    EXPECT_EQ(findFileNoCase(folder.string(), "spisok.DBF"), "SPISOK.DBF");
}

TEST_F(DriveFolder, CopyReplacesAndFolderCreationReuses)
{
    const fs::path target = base / "E" / "arhivpog";
    EXPECT_FALSE(folderExists(target.string()));
    EXPECT_TRUE(createFolder(target.string()));
    EXPECT_TRUE(createFolder(target.string()));
    write(base / "C" / "a.dbf", "new");
    write(target / "a.dbf", "old contents");
    EXPECT_TRUE(copyFile((base / "C" / "a.dbf").string(), (target / "a.dbf").string()));
    std::ifstream in(target / "a.dbf");
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "new");
    EXPECT_FALSE(copyFile((base / "C" / "none.dbf").string(), (target / "x.dbf").string()));
    EXPECT_FALSE(createFolder((base / "Q" / "arhivpog").string()));
}

TEST(Wildcards, StarsAndQuestionMarks)
{
    EXPECT_TRUE(wildcardMatch("*.dbf*", "ALLEL.DBF"));
    EXPECT_TRUE(wildcardMatch("*.dbf*", "x.dbf.old"));
    EXPECT_FALSE(wildcardMatch("*.dbf*", "SPISOK.CDX"));
    EXPECT_FALSE(wildcardMatch("*.dbf*", "dbf"));
    EXPECT_TRUE(wildcardMatch("a?c", "ABC"));
    EXPECT_TRUE(wildcardMatch("*", ""));
}
