#include "app/create_windows.h"

#include "app/TForm1.h"
#include "archive/gui/TDataModule4.h"
#include "archive/gui/TForm16.h"
#include "archive/gui/TForm17.h"
#include "archive/gui/TForm6.h"
#include "archive/gui/TForm7.h"
#include "archive/gui/Tarhiv.h"
#include "compare/gui/TParentageForm.h"
#include "estimate/gui/TForm2.h"
#include "estimate/gui/TForm3.h"
#include "estimate/gui/TStatisticsForm.h"
#include "task/gui/TForm9.h"
#include "task/gui/Tantigen.h"
#include "task/gui/Tkontrol.h"

void createWindows()
{
    Form1 = new TForm1;
    antigen = new Tantigen;
    kontrol = new Tkontrol;
    Form2 = new TForm2;
    Form3 = new TForm3;
    DataModule4 = new TDataModule4;
    arhiv = new Tarhiv;
    Form6 = new TForm6;
    Form16 = new TForm16;
    Form17 = new TForm17;
    Form7 = new TForm7;
    Form9 = new TForm9;
    StatisticsForm = new TStatisticsForm;
    ParentageForm = new TParentageForm;
}
