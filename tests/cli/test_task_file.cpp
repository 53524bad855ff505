#include "cli/task_file.h"
#include "platform/cp1251.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> bytesOf(const std::vector<Cp1251Text>& texts)
{
    std::vector<std::string> bytes;
    for (const Cp1251Text& text : texts)
        bytes.push_back(text.bytes());
    return bytes;
}

TaskState task;

LoadedTask load(const std::string& text)
{
    return loadTaskFile(text, task);
}

// The problem of a file that must be refused, as "line: message".
std::string problemOf(const std::string& text)
{
    const LoadedTask loaded = load(text);
    if (!loaded.problem) return "(accepted)";
    return std::to_string(loaded.problem->line) + ": " + loaded.problem->message;
}

TEST(TaskFile, ReadsAllelesModeAndCounts)
{
    const LoadedTask loaded = load("# ABO blood groups\r\n"
                                   "allele A\r\n"
                                   "allele B   # the second\r\n"
                                   "\r\n"
                                   "allele -\r\n"
                                   "186 A\r\n"
                                   "13\tB A\r\n"
                                   "284 -\r\n");
    ASSERT_FALSE(loaded.problem) << loaded.problem->message;
    EXPECT_EQ(loaded.mode, InheritanceMode::codominance);
    ASSERT_EQ(task.phenotypeCount, 4); // A, A B, B, -
    EXPECT_EQ(bytesOf(loaded.countTexts), (std::vector<std::string>{"186", "13", "", "284"}));
    EXPECT_EQ(loaded.totalText.bytes(), "483");
    EXPECT_EQ(task.alleleNames[3].bytes(), "- ");
}

TEST(TaskFile, ReadsADominanceSeriesInCyrillic)
{
    const LoadedTask loaded = load("mode dominance\nallele Д1 Б\nallele Б\n0007 Б Д1\n");
    ASSERT_FALSE(loaded.problem) << loaded.problem->message;
    EXPECT_EQ(loaded.mode, InheritanceMode::dominance);
    ASSERT_EQ(task.phenotypeCount, 2);
    EXPECT_EQ(cp1251ToUtf8(task.phenotypeNames[1]), "Б Д1 ");
    EXPECT_EQ(bytesOf(loaded.countTexts), (std::vector<std::string>{"0007", ""})); // as typed
    EXPECT_EQ(loaded.totalText.bytes(), "7");
}

TEST(TaskFile, RefusesMalformedLinesNamingThem)
{
    EXPECT_EQ(problemOf("allele A\nallel B\n"), "2: непонятная строка: allel");
    EXPECT_EQ(problemOf("mode recessive\n"), "1: после mode ожидается codominance или dominance");
    EXPECT_EQ(problemOf("mode dominance\nmode dominance\n"), "2: режим наследования уже указан");
    EXPECT_EQ(problemOf("allele A\nallele   # none\n"), "2: после allele нет ни одного теста");
    for (const char* count : {"1.5", "20000000", "-5", "-0", "12x"})
        EXPECT_EQ(problemOf("allele A\nallele B\n" + std::string(count) + " A\n"),
                  "3: поголовье должно быть целым числом от 0 до 19999999")
            << count;
    EXPECT_EQ(problemOf("allele A\nallele B\n12\n"), "3: после поголовья нет ни одного теста");
    EXPECT_EQ(problemOf("allele A\nallele -\n5 - A\n"),
              "3: минус не может совмещаться с другими тестами");
    EXPECT_EQ(problemOf("allele A\nallele B\n5 A B A\n"), "3: тест A указан дважды");
    std::string many;
    for (int i = 1; i <= 51; ++i)
        many += "allele T" + std::to_string(i) + "\n";
    EXPECT_EQ(problemOf(many), "51: аллелей больше 50");
}

TEST(TaskFile, RefusesCountsTheAllelesDoNotExplain)
{
    EXPECT_EQ(problemOf("allele A\nallele B\n5 C\n"), "3: аллели не дают фенотипа «C»");
    EXPECT_EQ(problemOf("allele A\nallele B\n5 -\n"), "3: аллели не дают фенотипа «-»");
    EXPECT_EQ(problemOf("allele A\nallele B\n5 A B\n\n7 B A\n"),
              "5: фенотип «A B» уже указан в строке 3");
    EXPECT_EQ(problemOf("allele A\nallele B\n5 A Ω\n"),
              "3: символа «Ω» нет в кодировке Windows-1251");
}

TEST(TaskFile, ChecksAllelesAsTheAlleleWindowDoes)
{
    EXPECT_EQ(problemOf("allele A\n\nallele B -\n"),
              "3: Минус не может совмещаться с другими тестами!! Исправьте..");
    EXPECT_EQ(problemOf("allele A B\nallele B A\n"),
              "2: Аллель с тестами A B  повторяется. Исправьте!!!");
    EXPECT_EQ(problemOf("allele A\nallele Ω\n"),
              "2: В наименовании аллеля 2 есть символ «Ω», которого нет в кодировке "
              "Windows-1251. Исправьте..");
    EXPECT_EQ(problemOf("allele A\n"), "0: Только один аллель - задача не имеет смысла...");
    EXPECT_EQ(problemOf("# nothing\n"), "0: Список аллелей пуст!!!");
}

TEST(TaskFile, ProblemTextNamesFileAndLine)
{
    EXPECT_EQ(taskFileProblemText("abo.txt", {3, "что-то не так"}),
              "abo.txt, строка 3: что-то не так");
    EXPECT_EQ(taskFileProblemText("abo.txt", {0, "Список аллелей пуст!!!"}),
              "abo.txt: Список аллелей пуст!!!");
}

} // namespace
