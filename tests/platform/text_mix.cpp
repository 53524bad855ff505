// Compiled once per MIX by text_mix.cmake: MIX 0 uses Cp1251Text as the program does and
// must compile; every other MIX hands a text of another kind where Windows-1251 text is
// taken (or the reverse) and must be refused by the compiler.
#include "archive/task_archive.h"
#include "platform/cp1251_text.h"
#include "tables/table.h"

#if MIX == 0 || MIX == 3 || MIX == 7
#include <QString>
#endif

#include <string>
#include <utility>

void takeCp1251(const Cp1251Text&) {}
void takeString(const std::string&) {}

void use()
{
#if MIX == 0
    const Cp1251Text name = Cp1251Text::fromBytes("A") + Cp1251Text::fromBytes(" ");
    takeCp1251(name.trimmed().upper());
    takeString(name.bytes());
    static_cast<void>(name < Cp1251Text::fromBytes("B") && name == name);
    using Copied = decltype(std::declval<const Field&>().setAsString(
        std::declval<const FieldView&>().asString()));
    TaskRecord record;
    record.name = name;
#elif MIX == 1
    const std::string utf8 = "A";
    takeCp1251(utf8);
#elif MIX == 2
    takeCp1251("A");
#elif MIX == 3
    takeCp1251(QString("A"));
#elif MIX == 4
    const std::string utf8 = Cp1251Text::fromBytes("A");
#elif MIX == 5
    takeString(Cp1251Text::fromBytes("A"));
#elif MIX == 6
    static_cast<void>(Cp1251Text::fromBytes("A") == std::string("A"));
#elif MIX == 7
    const QString shown = Cp1251Text::fromBytes("A");
#elif MIX == 8
    using Written = decltype(std::declval<const Field&>().setAsString(std::string("A")));
#elif MIX == 9
    using Read = decltype(takeString(std::declval<const FieldView&>().asString()));
#elif MIX == 10
    TaskRecord record;
    record.name = std::string("A");
#endif
}
