// The holder of the three archive tables.
#pragma once

#include <string>

class TDataModule4
{
public:
    TDataModule4();
    // Opens the tables the main window's activation opens.
    void openTables();

    // An integer field of the current task record (the current row of SPISOK), such as
    // KNOP1 (the inheritance mode) or KNOP2 (the criterion); 0 when there is none.
    int currentTaskCode(const std::string& field) const;
};

extern TDataModule4* DataModule4;
