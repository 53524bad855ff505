#include "archive/gui/TForm6.h"

TForm6* Form6 = nullptr;

TForm6::TForm6()
{
    setObjectName("Form6");
    setWindowTitle("");
    resize(476, 108);

    Edit1 = new Edit(this);
    Edit1->setGeometry(16, 36, 444, 24);
}

void TForm6::FormActivate()
{
    Edit1->setFocus();
}
