// The choice of the conflicting window from a window list, and the start-up message.
#include "app/startup.h"
#include "platform/window_list.h"

#include <gtest/gtest.h>

namespace {
TopLevelWindow window(const std::string& title, bool visible = true, bool owned = false,
                      bool ours = false)
{
    return {title, ours, visible, owned};
}
} // namespace

TEST(ConflictingWindow, OnlyVisibleUnownedTitledForeignWindowsCount)
{
    const auto& fragments = conflictingTitleFragments();
    EXPECT_EQ(findConflictingTitle({window("Велимор", false), window("Велимор", true, true),
                                    window(""), window("Велимор", true, false, true)},
                                   fragments),
              std::nullopt);
    EXPECT_EQ(findConflictingTitle({window("Редактор"), window("Тарвенис. Велимор.")}, fragments),
              "Тарвенис. Велимор.");
}

TEST(ConflictingWindow, AFragmentAnywhereInTheTitleBlocksAndTheTopmostIsNamed)
{
    const auto& fragments = conflictingTitleFragments();
    EXPECT_EQ(findConflictingTitle({window("/home/ivan/Велимор-данные — Файлы"), window("Велимор")},
                                   fragments),
              "/home/ivan/Велимор-данные — Файлы");
    // The comparison is exact and case-sensitive.
    EXPECT_EQ(findConflictingTitle({window("велимор"), window("ВЕЛИМОР")}, fragments),
              std::nullopt);
    EXPECT_EQ(findConflictingTitle({window("Окно Сторигал")}, fragments), "Окно Сторигал");
    for (const std::string& f : fragments)
        EXPECT_FALSE(f.empty());
    EXPECT_EQ(fragments[1], "Велимор");
}

TEST(ConflictingWindow, TitlesKeepAtMost127Characters)
{
    std::string longTitle;
    for (int i = 0; i < 200; ++i)
        longTitle += "ж";
    EXPECT_EQ(truncateTitle(longTitle).size(), 127u * 2);
    EXPECT_EQ(truncateTitle("short"), "short");
}

TEST(ConflictingWindow, TheMessageQuotesTheTitle)
{
    EXPECT_EQ(conflictMessage("Тарвенис. Велимор."),
              "Перед запуском этой программы необходимо закрыть программу \"Тарвенис. Велимор.\". "
              "Желательно закрыть и другие программы. Браузер, Оффис (Word, Excel), игры, "
              "антивирус и утилиты Windows (например, Диспетчер задач) закрывать не требуется.");
}
