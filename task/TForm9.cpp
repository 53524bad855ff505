#include "task/TForm9.h"

TForm9* Form9 = nullptr;

TForm9::TForm9()
{
    setObjectName("Form9");
    setWindowTitle("ВНИМАНИЕ!!");
}
