#include "archive/Tarhiv.h"

Tarhiv* arhiv = nullptr;

Tarhiv::Tarhiv()
{
    setObjectName("arhiv");
    setWindowTitle("Архив задач");
}
