#include "archive/TForm6.h"

TForm6* Form6 = nullptr;

TForm6::TForm6()
{
    setObjectName("Form6");
    setWindowTitle("");
}
