#include "estimate/TForm2.h"

TForm2* Form2 = nullptr;

TForm2::TForm2()
{
    setObjectName("Form2");
    setWindowTitle("Полный отчет по аллелям, генотипам и тестам");
}
