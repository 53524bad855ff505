#include "archive/TForm17.h"

TForm17* Form17 = nullptr;

TForm17::TForm17()
{
    setObjectName("Form17");
    setWindowTitle("");
}
