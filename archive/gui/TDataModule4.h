// The holder of the three archive tables and their data sources. Creating it finishes a
// restore that a crash interrupted, then opens ALLEL.DBF and FENOTIP.DBF (a table that fails
// stops the start with the engine's message); the main window's activation opens SPISOK
// through openTables. A table mended on opening is reported in a message. The program holds
// the tables' writer locks from then on; readers such as velimor-calc still read them. A
// table's CDX is rewritten once the program is idle again after its keys changed, and before
// the program ends.
#pragma once

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
    DataSource dsspisok; // feeds the archive list
    DataSource dsallel;
    DataSource dsfenotip;

    // Opens ALLEL.DBF, SPISOK and FENOTIP.DBF, in this order (an open table is left as it
    // is), showing the message of a table mended on opening, then frees the rows that an
    // interrupted save or delete left without a task row.
    void openTables();

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
