// checkAlleleList over the 50 allele cells: normalisation, the lists it fills, and every
// refusal with its message.
#include "platform/cp1251.h"
#include "task/allele_check.h"

#include <gtest/gtest.h>

namespace {

using Cells = std::array<std::string, maxAlleles>;

Cells cells(std::initializer_list<std::string> rows)
{
    Cells c;
    std::size_t i = 0;
    for (const std::string& row : rows)
        c[i++] = row;
    return c;
}

std::string utf8(const Cp1251Text& cp1251)
{
    return cp1251ToUtf8(cp1251);
}

} // namespace

TEST(AlleleCheck, NormalisesOrderAndRepeatsIntoTheSameNameAndRefusesTheDuplicate)
{
    TaskState task;
    const AlleleCheck check =
        checkAlleleList(encodeAlleleRows(cells({" t C a  t ", "a C C t"})), task);
    EXPECT_EQ(check.failure, AlleleCheckFailure::duplicateAllele);
    EXPECT_EQ(check.duplicateName.bytes(), "C a t ");
    EXPECT_EQ(alleleCheckMessage(check), "Аллель с тестами C a t  повторяется. Исправьте!!!");
    EXPECT_TRUE(check.failed());
    ASSERT_EQ(task.alleleCount, 1);
    EXPECT_EQ(task.alleleNames[1].bytes(), "C a t ");
    // Tests in order of first occurrence as typed, before sorting.
    ASSERT_EQ(task.testCount, 3);
    EXPECT_EQ(task.testNames[1].bytes(), "t");
    EXPECT_EQ(task.testNames[2].bytes(), "C");
    EXPECT_EQ(task.testNames[3].bytes(), "a");
}

TEST(AlleleCheck, BlankRowsAreSkippedAndTheMinusAlleleHasNoTest)
{
    TaskState task;
    const AlleleCheck check = checkAlleleList(encodeAlleleRows(cells({"A", "", "  ", "-"})), task);
    EXPECT_FALSE(check.failed());
    ASSERT_EQ(task.alleleCount, 2);
    EXPECT_EQ(task.alleleNames[1].bytes(), "A ");
    EXPECT_EQ(task.alleleNames[2].bytes(), "- ");
    ASSERT_EQ(task.testCount, 1);
    EXPECT_EQ(task.testNames[1].bytes(), "A");
}

TEST(AlleleCheck, MinusRules)
{
    TaskState task;
    AlleleCheck check = checkAlleleList(encodeAlleleRows(cells({"B", "A -"})), task);
    EXPECT_EQ(alleleCheckMessage(check),
              "Минус не может совмещаться с другими тестами!! Исправьте..");
    EXPECT_EQ(task.alleleCount, 1);

    check = checkAlleleList(encodeAlleleRows(cells({"- -", "A"})), task);
    EXPECT_EQ(check.failure, AlleleCheckFailure::minusWithOtherTests);
    EXPECT_EQ(task.alleleCount, 0);

    check = checkAlleleList(encodeAlleleRows(cells({"-", "A", " - "})), task);
    EXPECT_EQ(alleleCheckMessage(check), "Минус может иметь ТОЛЬКО ОДИН АЛЛЕЛЬ!! Исправьте..");
    EXPECT_EQ(task.alleleCount, 2);

    // A minus inside a test name is an ordinary character.
    check = checkAlleleList(encodeAlleleRows(cells({"A-1", "-"})), task);
    EXPECT_FALSE(check.failed());
    EXPECT_EQ(task.alleleNames[1].bytes(), "A-1 ");
}

TEST(AlleleCheck, CaseAndSpacesMakeDifferentTestsAndAlleles)
{
    TaskState task;
    EXPECT_FALSE(checkAlleleList(encodeAlleleRows(cells({"a", "A", "A1", "A 1"})), task).failed());
    ASSERT_EQ(task.alleleCount, 4);
    EXPECT_EQ(task.alleleNames[4].bytes(), "1 A ");
    ASSERT_EQ(task.testCount, 4);
    EXPECT_EQ(task.testNames[1].bytes(), "a");
    EXPECT_EQ(task.testNames[2].bytes(), "A");
    EXPECT_EQ(task.testNames[3].bytes(), "A1");
    EXPECT_EQ(task.testNames[4].bytes(), "1");
}

TEST(AlleleCheck, ByteOrderPutsDigitsCapitalsSmallLettersThenCyrillic)
{
    TaskState task;
    EXPECT_FALSE(checkAlleleList(encodeAlleleRows(cells({"б a Я A 7", "-"})), task).failed());
    EXPECT_EQ(utf8(task.alleleNames[1]), "7 A a Я б ");
}

TEST(AlleleCheck, TheFiftyFirstTestStopsTheCheckWhereverItStands)
{
    TaskState task;
    Cells c;
    for (int k = 0; k < 25; ++k)
        c[k] = "t" + std::to_string(2 * k) + " t" + std::to_string(2 * k + 1);
    EXPECT_FALSE(checkAlleleList(encodeAlleleRows(c), task).failed());
    EXPECT_EQ(task.testCount, 50);

    c[25] = "t0 t1 extra";
    const AlleleCheck check = checkAlleleList(encodeAlleleRows(c), task);
    EXPECT_EQ(alleleCheckMessage(check), "Слишком много тестов. Максимум - 50");
    EXPECT_EQ(task.alleleCount, 25);
    EXPECT_EQ(task.testCount, 50);
}

TEST(AlleleCheck, EmptyAndSingleAlleleLists)
{
    TaskState task;
    EXPECT_EQ(alleleCheckMessage(checkAlleleList(encodeAlleleRows(Cells{}), task)),
              "Список аллелей пуст!!!");
    const AlleleCheck single = checkAlleleList(encodeAlleleRows(cells({"", "A"})), task);
    EXPECT_EQ(alleleCheckMessage(single), "Только один аллель - задача не имеет смысла...");
    EXPECT_TRUE(single.failed());
    EXPECT_EQ(task.alleleCount, 1);
}

TEST(AlleleCheck, AllelesAreNumberedByNonBlankRowsAcrossBothGrids)
{
    TaskState task;
    Cells c;
    c[2] = "A";
    c[25] = "B"; // row 1 of the second grid
    EXPECT_FALSE(checkAlleleList(encodeAlleleRows(c), task).failed());
    ASSERT_EQ(task.alleleCount, 2);
    EXPECT_EQ(task.alleleNames[2].bytes(), "B ");

    Cells full;
    for (int k = 0; k < 50; ++k)
        full[k] = "x" + std::to_string(k / 2) + (k % 2 ? " y" : "");
    EXPECT_EQ(checkAlleleList(encodeAlleleRows(full), task).failure, AlleleCheckFailure::none);
    EXPECT_EQ(task.alleleCount, 50);
    EXPECT_EQ(task.alleleNames[26].bytes(), "x12 y ");
}

TEST(AlleleCheck, ACharacterOutsideWindows1251IsRefusedNamingTheAllele)
{
    TaskState task;
    const AlleleCheck check = checkAlleleList(encodeAlleleRows(cells({"A", "", "Bα"})), task);
    EXPECT_EQ(check.failure, AlleleCheckFailure::unencodableCharacter);
    EXPECT_EQ(check.alleleNumber, 2);
    EXPECT_EQ(check.character, U'α');
    EXPECT_EQ(alleleCheckMessage(check),
              "В наименовании аллеля 2 есть символ «α», которого нет в кодировке Windows-1251. "
              "Исправьте..");
    EXPECT_TRUE(check.failed());
    EXPECT_EQ(task.alleleCount, 1);
}

TEST(AlleleCheck, ARepeatedCheckStartsFromEmptyLists)
{
    TaskState task;
    EXPECT_FALSE(checkAlleleList(encodeAlleleRows(cells({"A B", "C", "-"})), task).failed());
    EXPECT_FALSE(checkAlleleList(encodeAlleleRows(cells({"D", "E"})), task).failed());
    EXPECT_EQ(task.alleleCount, 2);
    EXPECT_EQ(task.testCount, 2);
    EXPECT_EQ(task.testNames[1].bytes(), "D");
}
