// The comparison by population labels over the archive: which tasks are read, which systems
// are compared, the combined distance as Nei's over the systems' frequencies joined, the
// progress reaching its end, and a run cancelled before it starts.
#include "compare/population_study.h"
#include "platform/cp1251.h"
#include "platform/random.h"
#include "tests/archive/sample_archive.h"
#include "tests/support/near.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

namespace {

void saveLabelled(ArchiveFiles& archive, const std::string& name, int alleles, int firstCount,
                  const char* population, const char* system)
{
    TaskRecord record = sampleTask(toCp1251(name).bytes(), alleles, firstCount);
    record.labels = {toCp1251(population), toCp1251(system)};
    ASSERT_EQ(saveTask(archive.tables(), record).outcome, SaveOutcome::saved);
}

std::vector<Cp1251Text> labels(std::initializer_list<const char*> names)
{
    std::vector<Cp1251Text> texts;
    for (const char* name : names)
        texts.push_back(toCp1251(name));
    return texts;
}

} // namespace

TEST(PopulationStudy, TheChosenPopulationsAreComparedOverTheSystemsAllOfThemHave)
{
    ScratchFolder folder;
    ArchiveFiles archive(folder.path());
    saveLabelled(archive, "Север ABO", 3, 10, "Север", "ABO");
    saveLabelled(archive, "Север T", 4, 20, "Север", "T");
    saveLabelled(archive, "Север X", 2, 5, "Север", "X"); // a system Юг lacks
    saveLabelled(archive, "Юг ABO", 3, 30, "юг ", "abo");
    saveLabelled(archive, "Юг T", 4, 7, "Юг", "T");
    saveLabelled(archive, "Юг без системы", 3, 1, "Юг", "");
    saveLabelled(archive, "Запад ABO", 3, 9, "Запад", "ABO");

    StudySamples read = studySamples(archive.tables(), labels({"Север", "Юг"}));
    ASSERT_FALSE(read.problem);
    EXPECT_EQ(read.samples.size(), 5u);
    seedRandom(5);
    std::int64_t last = 0;
    std::int64_t steps = 0;
    StudySettings settings;
    settings.replicates = 100;
    settings.progress = [&](std::int64_t done, std::int64_t total) {
        EXPECT_GE(done, last);
        last = done;
        steps = total;
    };
    const PopulationStudy study = studyPopulations(read.samples, labels({"Север", "Юг"}), settings);
    ASSERT_FALSE(study.problem) << *study.problem;
    ASSERT_EQ(study.systems.size(), 2u);
    EXPECT_EQ(cp1251ToUtf8(study.systems[0].shared.system), "abo"); // as the newest task has it
    EXPECT_EQ(study.systems[1].report.names, (std::vector<std::string>{"Север", "Юг"}));
    EXPECT_EQ(steps, 2 * (2 + 1 + 100));
    EXPECT_EQ(last, steps);
    Frequencies north;
    Frequencies south;
    for (const StudySystem& system : study.systems) {
        const auto& estimates = system.report.comparison.populations;
        north.insert(north.end(), estimates[0].frequencies.begin(), estimates[0].frequencies.end());
        south.insert(south.end(), estimates[1].frequencies.begin(), estimates[1].frequencies.end());
    }
    EXPECT_TRUE(near(study.combined.neiDistance[0][1], neiDistance(north, south), 1e-12));
    EXPECT_EQ(study.upgma.support.size(), 1u);

    const std::atomic<bool> cancel{true};
    StudySamples again = studySamples(archive.tables(), labels({"Север", "Запад"}));
    StudySettings cancelled;
    cancelled.cancel = &cancel;
    EXPECT_TRUE(studyPopulations(again.samples, labels({"Север", "Запад"}), cancelled).cancelled);
}
