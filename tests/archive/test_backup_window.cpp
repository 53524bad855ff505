// The backup and restore windows over real archive tables and lettered drives in temporary
// folders: the letter field, every message, and a round trip of saved tasks.
#include "archive/archive_rules.h"
#include "archive/gui/TDataModule4.h"
#include "archive/gui/TForm16.h"
#include "archive/gui/TForm17.h"
#include "platform/cp1251.h"
#include "platform/file_sync.h"
#include "tables/cdx_format.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/typing.h"
#include "toolkit/message.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

class BackupWindows : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("VELIMOR_DRIVES", drives.file("").c_str(), 1);
        fs::create_directories(drives.file("E"));
        DataModule4->openTables();
        for (Table* table : {&DataModule4->spisok, &DataModule4->allel, &DataModule4->fenotip}) {
            table->setFilter("ot=true");
            table->setFiltered(true);
            for (table->first(); !table->eof(); table->first()) {
                table->edit();
                table->fieldByName("ot").setAsBoolean(false);
                table->post();
            }
        }
    }
    void TearDown() override { unsetenv("VELIMOR_DRIVES"); }

    // A task row with one allele row and one count row.
    void saveTask(const std::string& name)
    {
        const int key = newTaskKey(DataModule4->spisok);
        writeReusingFreeRow(DataModule4->spisok, key,
                            [&](Table& t) { t.fieldByName("name").setAsString(toCp1251(name)); });
        writeReusingFreeRow(DataModule4->allel, key, [](Table& t) {
            t.fieldByName("nomer").setAsInteger(1);
            t.fieldByName("allel").setAsString(Cp1251Text::fromBytes("A"));
        });
        writeReusingFreeRow(DataModule4->fenotip, key, [](Table& t) {
            t.fieldByName("nomer").setAsInteger(1);
            t.fieldByName("golov").setAsInteger(12);
        });
        for (Table* table : {&DataModule4->spisok, &DataModule4->allel, &DataModule4->fenotip})
            table->setFilter("ot=true");
        QCoreApplication::processEvents(); // the indexes are rewritten once idle
    }

    std::vector<std::string> liveTaskNames()
    {
        std::vector<std::string> names;
        Table& spisok = DataModule4->spisok;
        for (spisok.first(); !spisok.eof(); spisok.next())
            names.push_back(cp1251ToUtf8(spisok.fieldByName("name").asString()));
        return names;
    }

    // Types the letter into the window's field and presses its action button; the messages and
    // a question (kept in `questions`, answered as given) are real boxes answered in their loops.
    std::vector<QString> press(DriveLetterForm* window, const QString& letter, bool answer = true)
    {
        MessageRecorder messages(MessageRecorder::Mode::showAndAnswer);
        messages.answers = {answer};
        ModalScript script;
        script.then([&](Form&) {
            window->MaskEdit1->clear();
            typeText(window->MaskEdit1, letter);
            window->Button1->click();
        });
        window->showModal();
        questions = messages.questions;
        return messages.messages;
    }

    ScratchFolder drives;
    std::vector<QString> questions;
};

using Messages = std::vector<QString>;

// Debian's own interpreter is the one that has python3-dbfread.
std::string dbfreadNames(const std::string& path)
{
    const std::string command =
        "/usr/bin/python3 -c \"import dbfread,sys; print('|'.join(r['NAME'] + ':' + "
        "str(r['INDEX']) "
        "for r in dbfread.DBF(sys.argv[1], encoding='cp1251') if r['OT']))\" " +
        path;
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        pclose(pipe);
    }
    return out;
}

} // namespace

TEST_F(BackupWindows, TheLetterFieldTakesOneLetterAndOnlyLatinLettersAreAccepted)
{
    EXPECT_EQ(press(Form16, "д"), Messages{"Введите одну латинскую букву..."});
    EXPECT_EQ(press(Form17, ""), Messages{"Введите одну латинскую букву..."});
    Form16->MaskEdit1->clear();
    typeText(Form16->MaskEdit1, "1ab");
    EXPECT_EQ(Form16->MaskEdit1->text(), "a");
    EXPECT_EQ(Form16->windowTitle(), "Создание архива");
    EXPECT_EQ(Form17->windowTitle(), "Восстановление данных с резервного носителя");
}

TEST_F(BackupWindows, MediumMessagesLeaveTheTablesOpen)
{
    EXPECT_EQ(press(Form16, "Q"), Messages{"Резервный носитель не установлен или не исправен..."});
    EXPECT_EQ(press(Form17, "E"), Messages{"Резервный носитель не установлен или не исправен или "
                                           "не содержит резервной копии..."});
    EXPECT_TRUE(questions.empty()); // nothing to restore, nothing to ask
    EXPECT_TRUE(DataModule4->spisok.active());
    EXPECT_TRUE(DataModule4->fenotip.active());
}

TEST_F(BackupWindows, RoundTripSaveBackUpDeleteRestore)
{
    saveTask("Первая задача");
    saveTask("Вторая задача");
    EXPECT_EQ(press(Form16, "e"), Messages{"Резервная копия создана!"});
    const fs::path folder = drives.file("E/arhivpog");
    EXPECT_TRUE(fs::exists(folder / "SPISOK.DBF"));
    EXPECT_TRUE(fs::exists(folder / "ALLEL.DBF"));
    EXPECT_TRUE(fs::exists(folder / "FENOTIP.DBF"));
    EXPECT_FALSE(fs::exists(folder / "SPISOK.CDX"));
    EXPECT_TRUE(DataModule4->spisok.active());
    EXPECT_EQ(DataModule4->spisok.filter(), "ot=true");

    // The archive moves on after the backup: two more tasks, then every task deleted.
    saveTask("Третья задача");
    saveTask("Четвёртая задача");
    for (int key : {9996, 9997, 9998, 9999})
        for (Table* table : {&DataModule4->spisok, &DataModule4->allel, &DataModule4->fenotip})
            freeTaskRows(*table, key);
    QCoreApplication::processEvents();
    EXPECT_TRUE(liveTaskNames().empty());

    // "Нет" to the question keeps the archive as it is; "Да" replaces it.
    EXPECT_TRUE(press(Form17, "E", false).empty());
    EXPECT_EQ(questions, std::vector<QString>{"Архив задач будет заменен резервной копией с "
                                              "носителя E; задачи, записанные после ее создания, "
                                              "будут потеряны. Восстановить данные?"});
    EXPECT_TRUE(liveTaskNames().empty());
    EXPECT_EQ(press(Form17, "E"), Messages{"Данные восстановлены!"});
    EXPECT_EQ(liveTaskNames(), (std::vector<std::string>{"Вторая задача", "Первая задача"}));
    // Other software reads the restored rows in file order, and the rebuilt index walks
    // them newest first.
    EXPECT_EQ(dbfreadNames("SPISOK.DBF"), "Первая задача:9999|Вторая задача:9998\n");
    std::ifstream cdx("SPISOK.CDX", std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(cdx),
                                          std::istreambuf_iterator<char>()};
    const auto entries = readCdxIndexTag(bytes);
    ASSERT_TRUE(entries);
    std::vector<std::uint32_t> records;
    for (const CdxEntry& e : *entries)
        records.push_back(e.record);
    EXPECT_EQ(records, (std::vector<std::uint32_t>{2, 1}));
}

TEST_F(BackupWindows, TheTablesAndTheirCopiesAreOnTheDiskBeforeTheBackupIsReported)
{
    saveTask("Первая задача");
    ASSERT_TRUE(DataModule4->metki.active()); // the label table, opened with the others
    MessageRecorder messages;
    std::vector<std::string> flushedBeforeTheMessage;
    setSyncHook([&](const std::string& path) {
        if (messages.messages.empty())
            flushedBeforeTheMessage.push_back(fs::path(path).filename().string());
        return 0;
    });
    ModalScript script;
    script.then([&](Form&) {
        Form16->MaskEdit1->clear();
        typeText(Form16->MaskEdit1, "E");
        Form16->Button1->click();
    });
    Form16->showModal();
    setSyncHook({});
    EXPECT_EQ(messages.messages, Messages{"Резервная копия создана!"});
    // The new backup folder's entry, every copy, the list of the copies, and the backup folder
    // with the list and then with the new names.
    EXPECT_EQ(flushedBeforeTheMessage,
              (std::vector<std::string>{"E", ".velimor-copy-ALLEL.DBF", ".velimor-copy-FENOTIP.DBF",
                                        ".velimor-copy-METKI.DBF", ".velimor-copy-SPISOK.DBF",
                                        ".velimor-manifest.new", "arhivpog", "arhivpog"}));
}

TEST_F(BackupWindows, ADamagedBackupIsRefusedAndTheArchiveIsUntouched)
{
    saveTask("Задача");
    const fs::path folder = drives.file("E/arhivpog");
    fs::create_directories(folder);
    {
        std::ofstream damaged(folder / "SPISOK.DBF", std::ios::binary);
        damaged << "\x03\x01\x02";
    }
    EXPECT_EQ(press(Form17, "E"),
              (Messages{"SPISOK.DBF не скопирован", "ALLEL.DBF не скопирован",
                        "FENOTIP.DBF не скопирован", "Даные НЕ ВОССТАНОВЛЕНЫ!!"}));
    EXPECT_EQ(liveTaskNames(), std::vector<std::string>{"Задача"});
}

TEST_F(BackupWindows, AFileThatCannotBeWrittenIsReported)
{
    saveTask("Задача");
    const fs::path folder = drives.file("E/arhivpog");
    fs::create_directories(folder / "ALLEL.DBF"); // a folder stands where the copy should go
    EXPECT_EQ(press(Form16, "E"),
              (Messages{"Копия ALLEL.DBF не создана", "Резервная копия НЕ создана!!"}));
}
