#include "archive/TForm7.h"

TForm7* Form7 = nullptr;

TForm7::TForm7()
{
    setObjectName("Form7");
    setWindowTitle("");
}
