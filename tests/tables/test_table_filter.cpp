// The filter texts of the archive: what each keeps, on rows of SPISOK with every combination
// of OTBOR and OT, and the errors for texts that are not filters.
#include "tables/archive_schema.h"
#include "tables/filter.h"
#include "tables/table.h"
#include "tables/table_error.h"
#include "tests/support/scratch_folder.h"
#include "tests/tables/table_rows.h"

#include <gtest/gtest.h>

namespace {

// SPISOK rows keyed 1 to 5: (OTBOR, OT) = (T,T), (F,T), (T,F), (F,F), (empty, T).
void fillFlags(Table& spisok)
{
    appendTask(spisok, 1, true, "", true);
    appendTask(spisok, 2, true, "", false);
    appendTask(spisok, 3, false, "", true);
    appendTask(spisok, 4, false, "", false);
    spisok.append();
    spisok.fieldByName("index").setAsInteger(5);
    spisok.fieldByName("ot").setAsBoolean(true);
    spisok.post();
}

std::vector<int> keptBy(Table& spisok, std::string_view filter)
{
    spisok.setFilter(filter);
    spisok.setFiltered(true);
    return column(spisok, "index");
}

} // namespace

TEST(TableFilter, TheArchiveFilterTextsKeepTheirRows)
{
    ScratchFolder folder;
    Table spisok(folder.file("SPISOK"), spisokSchema());
    spisok.open();
    fillFlags(spisok);

    EXPECT_EQ(keptBy(spisok, "ot=true"), (std::vector<int>{1, 2, 5}));
    EXPECT_EQ(keptBy(spisok, "(ot=true)"), (std::vector<int>{1, 2, 5}));
    EXPECT_EQ(keptBy(spisok, "ot=false"), (std::vector<int>{3, 4}));
    EXPECT_EQ(keptBy(spisok, "otbor=true and ot=true"), (std::vector<int>{1}));
    EXPECT_EQ(keptBy(spisok, ""), (std::vector<int>{1, 2, 3, 4, 5}));

    // Case, spaces, not, or, and the precedence of and over or.
    EXPECT_EQ(keptBy(spisok, " OT = TRUE "), (std::vector<int>{1, 2, 5}));
    EXPECT_EQ(keptBy(spisok, "not ot=true or otbor=true"), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(keptBy(spisok, "ot=false or otbor=true and ot=true"), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(keptBy(spisok, "(ot=false or otbor=true) and ot=true"), (std::vector<int>{1}));
    EXPECT_EQ(keptBy(spisok, "not (otbor=true or ot=false)"), (std::vector<int>{2, 5}));

    // Filtering off shows every row whatever the text; the text stays for later.
    spisok.setFilter("ot=false");
    spisok.setFiltered(false);
    EXPECT_EQ(column(spisok, "index"), (std::vector<int>{1, 2, 3, 4, 5}));
    spisok.setFiltered(true);
    EXPECT_EQ(column(spisok, "index"), (std::vector<int>{3, 4}));

    // The filter text and state survive closing; a filter set while closed applies on open.
    spisok.close();
    EXPECT_EQ(spisok.filter(), "ot=false");
    spisok.setFilter("otbor=true and ot=true");
    spisok.open();
    EXPECT_EQ(column(spisok, "index"), (std::vector<int>{1}));
}

TEST(TableFilter, SettingAFilterMovesToTheFirstVisibleRow)
{
    ScratchFolder folder;
    Table spisok(folder.file("SPISOK"), spisokSchema());
    spisok.open();
    fillFlags(spisok);
    spisok.setFilter("ot=true");
    spisok.setFiltered(true);
    spisok.next();
    spisok.setFilter("ot=true"); // the same text again
    EXPECT_EQ(spisok.fieldByName("index").asInteger(), 1);
    spisok.setFilter("ot=false");
    EXPECT_EQ(spisok.fieldByName("index").asInteger(), 3);
    spisok.setFilter("otbor=true and ot=false");
    spisok.next();
    EXPECT_TRUE(spisok.eof());
    spisok.setFilter("ot=true and ot=false");
    EXPECT_TRUE(spisok.eof());
    EXPECT_TRUE(spisok.isEmpty());
}

TEST(TableFilter, AnyOtherTextIsAnErrorThatNamesIt)
{
    const auto errorOf = [](std::string_view text) -> std::string {
        try {
            Filter::parse(text, "SPISOK.DBF");
        } catch (const TableError& e) {
            return e.what();
        }
        return "no error";
    };
    const std::string prefix = "Ошибка таблицы SPISOK.DBF: неверный текст фильтра ";
    EXPECT_EQ(errorOf("ot=maybe"), prefix + "«ot=maybe»: после «=» ожидается true или false.");
    EXPECT_EQ(errorOf("ot"), prefix + "«ot»: после имени поля ожидается «=».");
    EXPECT_EQ(errorOf("ot=true and"), prefix + "«ot=true and»: текст оборван.");
    EXPECT_EQ(errorOf("(ot=true"), prefix + "«(ot=true»: нет закрывающей скобки.");
    EXPECT_EQ(errorOf("ot=true)"), prefix + "«ot=true)»: лишний текст «)».");
    EXPECT_EQ(errorOf("ot<>true"), prefix + "«ot<>true»: после имени поля ожидается «=».");
    EXPECT_EQ(errorOf("index=5"), prefix + "«index=5»: после «=» ожидается true или false.");
    EXPECT_EQ(errorOf("ot=true xor otbor=true"), prefix + "«ot=true xor otbor=true»: лишний "
                                                          "текст «xor».");
    EXPECT_EQ(errorOf("=true"), prefix + "«=true»: ожидается имя поля.");

    // Fields that the table lacks or that are not logical are named when the table meets them.
    ScratchFolder folder;
    Table spisok(folder.file("SPISOK"), spisokSchema());
    spisok.open();
    const auto tableErrorOf = [&](std::string_view text) -> std::string {
        try {
            spisok.setFilter(text);
        } catch (const TableError& e) {
            return e.what();
        }
        return "no error";
    };
    EXPECT_EQ(tableErrorOf("vybor=true"),
              "Ошибка таблицы SPISOK.DBF: в фильтре поле VYBOR, а в таблице такого поля нет.");
    EXPECT_EQ(tableErrorOf("name=true"),
              "Ошибка таблицы SPISOK.DBF: в фильтре поле NAME, а оно не логическое.");
    EXPECT_EQ(spisok.filter(), ""); // a refused text changes nothing
}

TEST(TableFilter, EvaluationFollowsTheValuesGiven)
{
    const Filter filter = Filter::parse("otbor=true and not (ot=false)", "T.DBF");
    EXPECT_EQ(filter.fields(), (std::vector<std::string>{"OTBOR", "OT"}));
    const bool cases[4][3] = {
        {true, true, true}, {true, false, false}, {false, true, false}, {false, false, false}};
    for (const auto& c : cases) {
        const bool values[] = {c[0], c[1]};
        EXPECT_EQ(filter.keeps(values), c[2]) << c[0] << c[1];
    }
    EXPECT_TRUE(Filter::parse("  ", "T.DBF").keepsAll());
}
