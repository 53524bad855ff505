#include "app/startup.h"

const std::vector<std::string>& conflictingTitleFragments()
{
    static const std::vector<std::string> fragments = {"Ирвалон", "Велимор", "Сторигал"};
    return fragments;
}

std::string conflictMessage(const std::string& title)
{
    return "Перед запуском этой программы необходимо закрыть программу \"" + title +
           "\". Желательно закрыть и другие программы. Браузер, Оффис (Word, Excel), игры, "
           "антивирус и утилиты Windows (например, Диспетчер задач) закрывать не требуется.";
}
