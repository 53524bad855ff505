#include "task/Tkontrol.h"

Tkontrol* kontrol = nullptr;

Tkontrol::Tkontrol()
{
    setObjectName("kontrol");
    setWindowTitle("Проверьте списки аллелей и тестов. Если нет ошибок, введите фактическое "
                   "поголовье фенотипов и нажмите кнопку \"Начать расчет\".");
    StringGrid3 = new StringGrid(this);
    StringGrid3->setColCount(5);
}

void Tkontrol::clearPhenotypeRows()
{
    for (int r = 1; r < StringGrid3->rowCount(); ++r)
        for (int c : {1, 4, 2, 3}) StringGrid3->setCells(c, r, QString());
}
