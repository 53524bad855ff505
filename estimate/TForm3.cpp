#include "estimate/TForm3.h"

TForm3* Form3 = nullptr;

TForm3::TForm3()
{
    setObjectName("Form3");
    setWindowTitle("Полный отчет по фенотипам");
}
