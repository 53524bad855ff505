#include "archive/TDataModule4.h"

TDataModule4* DataModule4 = nullptr;

TDataModule4::TDataModule4() {}

void TDataModule4::openTables() {}

int TDataModule4::currentTaskCode(const std::string&) const { return 0; }
