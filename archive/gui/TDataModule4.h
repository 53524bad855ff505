// The holder of the archive tables (the three task tables and the label table) and their data
// sources. Creating it finishes a
// restore that a crash interrupted, then opens ALLEL.DBF and FENOTIP.DBF (a table that fails
// stops the start with the engine's message); the main window's activation opens SPISOK
// through openTables. A table mended on opening is reported in a message. The program holds
// the tables' writer locks from then on; readers such as velimor-calc still read them. A
// table's CDX is rewritten once the program is idle again after its keys changed, and before
// the program ends.
#pragma once

#include "archive/task_archive.h"
#include "tables/data_source.h"
#include "tables/table.h"

#include <QObject>

#include <string>
#include <string_view>

class TDataModule4
{
    QObject idle_; // context of the idle-time index rewrite; outlives the tables

public:
    TDataModule4();
    ~TDataModule4();
    TDataModule4(const TDataModule4&) = delete;
    TDataModule4& operator=(const TDataModule4&) = delete;

    Table spisok;        // SPISOK (SPISOK.DBF with SPISOK.CDX): one row per task
    Table allel;         // ALLEL.DBF: one row per allele row of a task
    Table fenotip;       // FENOTIP.DBF: one row per typed phenotype count
    Table metki;         // METKI.DBF: the population and system labels of tasks
    DataSource dsspisok; // feeds the archive list
    DataSource dsallel;
    DataSource dsfenotip;

    // Opens ALLEL.DBF, SPISOK, FENOTIP.DBF and METKI.DBF, in this order (an open table is
    // left as it is; a missing one is created empty), showing the message of a table mended on
    // opening, then frees the rows that an interrupted save or delete left without a task row
    // and the labels no live task owns.
    void openTables();

    // The tables as saves, loads and deletes take them, the labels included.
    ArchiveTables archiveTables() { return {spisok, allel, fenotip, &metki}; }

    // An integer field of the current task record (the current row of SPISOK), such as
    // KNOP1 (the inheritance mode) or KNOP2 (the criterion); 0 when there is none.
    int currentTaskCode(std::string_view field) const;

    // Rewrites now the CDX of every table whose keys changed since it was last written.
    void flushIndexes();

private:
    void openAndReport(Table& table);
    void scheduleIndexFlush();

    bool flushScheduled_ = false;
};

extern TDataModule4* DataModule4;
