#include "archive/TForm16.h"

TForm16* Form16 = nullptr;

TForm16::TForm16()
{
    setObjectName("Form16");
    setWindowTitle("");
}
