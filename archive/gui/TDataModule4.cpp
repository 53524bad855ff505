#include "archive/gui/TDataModule4.h"

#include "archive/archive_rules.h"
#include "archive/backup_restore.h"
#include "archive/task_labels.h"
#include "tables/archive_schema.h"
#include "toolkit/message.h"

#include <QCoreApplication>
#include <QTimer>

TDataModule4* DataModule4 = nullptr;

TDataModule4::TDataModule4()
    : spisok("SPISOK", spisokSchema()), allel("ALLEL.DBF", allelSchema()),
      fenotip("FENOTIP.DBF", fenotipSchema()), metki("METKI.DBF", labelSchema()), dsspisok(spisok),
      dsallel(allel), dsfenotip(fenotip)
{
    for (Table* table : {&spisok, &allel, &fenotip, &metki})
        table->addObserver([this, table](TableEvent event) {
            if (event == TableEvent::DataChanged && table->indexPending()) scheduleIndexFlush();
        });
    if (QCoreApplication* application = QCoreApplication::instance())
        QObject::connect(application, &QCoreApplication::aboutToQuit, &idle_,
                         [this] { guarded([this] { flushIndexes(); }); });
    if (const auto message = finishInterruptedRestore(".")) showMessage(*message);
    openAndReport(allel);
    openAndReport(fenotip);
}

TDataModule4::~TDataModule4()
{
    for (Table* table : {&spisok, &allel, &fenotip, &metki}) {
        try {
            table->close();
        } catch (const std::exception&) {
            // The program is ending; the tables are released by their own destructors.
        }
    }
}

void TDataModule4::openTables()
{
    for (Table* table : {&allel, &spisok, &fenotip, &metki})
        openAndReport(*table);
    freeRowsWithoutTask(spisok, allel, fenotip);
    freeStaleLabels(spisok, metki);
}

void TDataModule4::openAndReport(Table& table)
{
    table.open();
    if (const auto message = table.takeRepairMessage()) showMessage(*message);
}

int TDataModule4::currentTaskCode(std::string_view field) const
{
    if (!spisok.active() || !spisok.currentRow()) return 0;
    return spisok.fieldByName(field).asInteger();
}

void TDataModule4::flushIndexes()
{
    for (Table* table : {&spisok, &allel, &fenotip, &metki})
        table->flushIndex();
}

// A save or a delete posts many rows in one handler; the index is rewritten once, when the
// handler has returned to the event loop.
void TDataModule4::scheduleIndexFlush()
{
    if (flushScheduled_) return;
    flushScheduled_ = true;
    QTimer::singleShot(0, &idle_, [this] {
        flushScheduled_ = false;
        guarded([this] { flushIndexes(); });
    });
}
