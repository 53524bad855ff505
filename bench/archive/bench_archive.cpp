// Saving and opening a task at the archive's largest: 1000 saved tasks of the largest size
// (50 alleles, each its own test, so 1275 phenotypes, every one with a count), then one more
// such task saved and opened, through the core routines and through the windows as the user
// does it (the control window's "Записать задачу в архив" with the name typed, the archive
// window's "Открыть задачу" up to the control window's set-up). Target: saving and opening
// each under 1 s. The core save appends its rows; the window save, after a delete, reuses the
// freed rows. The core save is also timed without the index rewrite, and its flushes counted:
// run in a folder on a memory file system, where a flush costs nothing, it shows what the
// flushes cost on a disk.
#include "app/create_windows.h"
#include "archive/gui/TDataModule4.h"
#include "archive/gui/TForm6.h"
#include "archive/gui/Tarhiv.h"
#include "archive/task_archive.h"
#include "archive/task_list.h"
#include "platform/cp1251.h"
#include "platform/file_sync.h"
#include "tables/archive_schema.h"
#include "tables/dbf_format.h"
#include "tables/field_codec.h"
#include "task/gui/Tantigen.h"
#include "task/gui/Tkontrol.h"
#include "task/task_state.h"
#include "toolkit/form.h"
#include "toolkit/message.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int savedTasks = 1000;
constexpr int alleles = 50;
constexpr int phenotypes = 1275; // 50 single alleles + 1225 pairs, all distinct
constexpr double targetSeconds = 1.0;

double secondsOf(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool report(const char* what, double seconds, bool targeted)
{
    std::printf("  %-72s %8.1f ms%s\n", what, seconds * 1000,
                targeted ? (seconds < targetSeconds ? "  (under 1 s)" : "  (OVER 1 s)") : "");
    return !targeted || seconds < targetSeconds;
}

std::string alleleName(int k)
{
    std::string name("T");
    name.append(std::to_string(k));
    return name;
}

// Writes a table file in one go: the header of a new table, then the records, each given as
// its stored field texts in the schema's order.
void writeTable(const std::string& path, const TableSchema& schema, std::size_t rows,
                const std::function<std::vector<std::string>(std::size_t)>& valuesOf)
{
    const std::vector<DbfField> fields = newTableFields(schema);
    std::vector<std::uint8_t> file = newDbfFile(fields, {2024, 1, 1});
    file.pop_back(); // the end-of-file byte follows the records
    for (int b = 0; b < 4; ++b)
        file[4 + b] = static_cast<std::uint8_t>(rows >> (8 * b));
    for (std::size_t r = 0; r < rows; ++r) {
        const std::vector<std::string> values = valuesOf(r);
        file.push_back(dbfLiveRecord);
        for (std::size_t f = 0; f < fields.size(); ++f) {
            const auto width = static_cast<std::size_t>(fields[f].width);
            const std::string stored =
                fields[f].type == 'C'
                    ? textField(values[f], fields[f].width)
                    : std::string(width - std::min(width, values[f].size()), ' ') + values[f];
            file.insert(file.end(), stored.begin(), stored.end());
        }
    }
    file.push_back(dbfEndOfFile);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
}

// The archive after 1000 saves into an empty archive: task t (0-based) has the key 9999 − t,
// and its rows stand in the order of saving.
void writeArchive()
{
    writeTable("SPISOK.DBF", spisokSchema(), savedTasks, [](std::size_t t) {
        const std::string key = std::to_string(9999 - static_cast<int>(t));
        std::string name("Task ");
        name.append(key);
        return std::vector<std::string>{"", "12.30", "20240101", name, "50", "50",
                                        "", "1275",  "1",        "1",  key,  "T"};
    });
    writeTable("ALLEL.DBF", allelSchema(), std::size_t{savedTasks} * alleles, [](std::size_t r) {
        const int t = static_cast<int>(r / alleles);
        const int k = static_cast<int>(r % alleles) + 1;
        return std::vector<std::string>{std::to_string(9999 - t), std::to_string(k), alleleName(k),
                                        "T"};
    });
    writeTable("FENOTIP.DBF", fenotipSchema(), std::size_t{savedTasks} * phenotypes,
               [](std::size_t r) {
                   const int t = static_cast<int>(r / phenotypes);
                   const int n = static_cast<int>(r % phenotypes) + 1;
                   return std::vector<std::string>{std::to_string(9999 - t), std::to_string(n),
                                                   std::to_string(n * 13 % 20000), "T"};
               });
}

// The largest task typed into the allele window, checked and set up in the control window,
// with a count for every phenotype.
void enterLargestTask()
{
    task = TaskState{};
    for (int k = 1; k <= alleles; ++k)
        (k <= 25 ? antigen->StringGrid1 : antigen->StringGrid2)
            ->setCells(1, k <= 25 ? k : k - 25, QString::fromStdString(alleleName(k)));
    antigen->RadioButton1->setChecked(true);
    antigen->checkAlleleList();
    kontrol->setUpControlWindow();
    for (int r = 1; r <= task.phenotypeCount; ++r)
        kontrol->StringGrid3->setCells(2, r, QString::number(r * 7 % 20000));
}

ArchiveTables tables()
{
    return {DataModule4->spisok, DataModule4->allel, DataModule4->fenotip};
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    if (!folder.isValid() || !QDir::setCurrent(folder.path())) return 1;
    MessageRecorder messages;
    std::printf("archive of %d tasks of %d alleles and %d counts each\n", savedTasks, alleles,
                phenotypes);
    report("writing the table files (set-up)", secondsOf(writeArchive), false);
    report("creating the windows, opening the tables (set-up)", secondsOf([] {
               createWindows();
               DataModule4->openTables();
           }),
           false);
    report("typing the largest task, control window set-up (set-up)", secondsOf(enterLargestTask),
           false);
    if (task.phenotypeCount != phenotypes) {
        std::printf("the task has %d phenotypes, not %d\n", task.phenotypeCount, phenotypes);
        return 1;
    }

    bool met = true;
    std::printf("through the core routines\n");
    TaskRecord record;
    record.name = Cp1251Text::fromBytes("Core task");
    record.mode = 1;
    record.criterion = 1;
    record.alleleCount = task.alleleCount;
    record.testCount = task.testCount;
    record.phenotypeCount = task.phenotypeCount;
    record.date = {2024, 3, 5};
    record.time = Cp1251Text::fromBytes("9.5");
    for (int k = 1; k <= alleles; ++k)
        record.alleleRows[k - 1] = Cp1251Text::fromBytes(alleleName(k));
    for (int r = 1; r <= phenotypes; ++r)
        record.counts.push_back({r, r * 7 % 20000});
    double saving = 0;
    int flushes = 0;
    setSyncHook([&](const std::string&) {
        ++flushes;
        return 0;
    });
    met &= report("saveTask (rows appended), then the CDX files rewritten", secondsOf([&] {
                      saving = secondsOf([&] { saveTask(tables(), record); });
                      DataModule4->flushIndexes();
                  }),
                  true);
    setSyncHook({});
    report("  of which saveTask (informative)", saving, false);
    std::printf("  (%d flushes of files and folders in all)\n", flushes);
    std::optional<TaskRecord> loaded;
    met &= report("findTaskByName and loadTask", secondsOf([&] {
                      findTaskByName(DataModule4->spisok, Cp1251Text::fromBytes("core task"));
                      loaded = loadTask(tables());
                  }),
                  true);
    if (!loaded || loaded->counts.size() != phenotypes) {
        std::printf("the task read back is not the one saved\n");
        return 1;
    }
    report("deleteCurrentTask, then the CDX files rewritten (informative)", secondsOf([] {
               deleteCurrentTask(tables());
               DataModule4->flushIndexes();
           }),
           false);

    std::printf("through the windows\n");
    met &= report("save button, name typed (freed rows reused); CDX rewritten when idle",
                  secondsOf([] {
                      ModalScript script;
                      script.then([](Form&) { Form6->Edit1->setText("Window task"); });
                      kontrol->Button3Click();
                      QCoreApplication::processEvents();
                  }),
                  true);
    met &= report("open button, up to the control window's set-up", secondsOf([] {
                      ModalScript script;
                      arhiv->showModal(); // its activation lists every task, the new one first
                      arhiv->Button1Click();
                  }),
                  true);
    if (kontrol->Label1->text().isEmpty() || kontrol->StringGrid3->rowCount() != phenotypes + 1 ||
        DataModule4->spisok.fieldByName("name").asString().bytes() != "Window task" ||
        !messages.messages.empty()) {
        std::printf("the opened task is not the one saved\n");
        return 1;
    }
    std::printf(met ? "targets met\n" : "TARGET MISSED\n");
    return met ? 0 : 1;
}
