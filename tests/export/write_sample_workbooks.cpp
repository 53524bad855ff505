// Writes the sample workbooks for check_workbooks.py: for each sample, NAME.xlsx and
// NAME.json (the source texts in UTF-8). The clock starts at 07.03.2026 09:05:58 for every
// workbook and moves one second each time it is read, so each sheet's title shows when it
// was laid out.
#include "export/workbook_file.h"
#include "platform/clock.h"
#include "platform/cp1251.h"
#include "sample_results.h"

#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>

namespace {
std::string jsonString(const Cp1251Text& text)
{
    std::string json = "\"";
    for (const char c : cp1251ToUtf8(text)) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

std::string jsonGrid(const TextGrid& grid, int columns)
{
    std::string json = "[";
    for (int r = 1; r <= grid.rowCount(); ++r) {
        json += r > 1 ? ",\n  [" : "\n  [";
        for (int c = 0; c < columns; ++c)
            json += (c > 0 ? ", " : "") + jsonString(grid.cell(c, r));
        json += "]";
    }
    return json + "]";
}

std::string json(const ResultTexts& texts)
{
    std::string summaries;
    for (const Cp1251Text& summary : texts.fitSummaries)
        summaries += (summaries.empty() ? "" : ", ") + jsonString(summary);
    return "{\"alleles\": " + jsonGrid(texts.alleles, 5) +
           ",\n\"genotypes\": " + jsonGrid(texts.genotypes, 5) +
           ",\n\"tests\": " + jsonGrid(texts.tests, 10) +
           ",\n\"phenotypeList\": " + jsonGrid(texts.phenotypeList, 5) +
           ",\n\"phenotypes\": " + jsonGrid(texts.phenotypes, 10) + ",\n\"fitSummaries\": [" +
           summaries + "]}\n";
}

bool writeSample(const std::string& folder, const std::string& name, const ResultTexts& texts)
{
    int ticks = 0;
    setClockForTests([&ticks] {
        const int second = 58 + ticks++;
        return LocalDateTime{2026, 3, 7, 9, 5 + second / 60, second % 60};
    });
    const WorkbookFileResult result = writeResultsWorkbook(texts, folder + "/" + name + ".xlsx");
    setClockForTests({});
    if (!result.ok()) {
        std::cerr << workbookFailureMessage(result) << "\n";
        return false;
    }
    std::ofstream(folder + "/" + name + ".json") << json(texts);
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: write_sample_workbooks FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    const bool written = writeSample(folder, "codominance", codominanceSample()) &&
                         writeSample(folder, "dominance", dominanceSample()) &&
                         writeSample(folder, "unusual", unusualTextsSample()) &&
                         writeSample(folder, "largest", largestTaskSample());
    return written ? 0 : 1;
}
