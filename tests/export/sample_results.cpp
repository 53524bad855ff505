#include "sample_results.h"

#include "platform/cp1251.h"

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

namespace {
// One grid row from UTF-8 texts.
std::vector<Cp1251Text> row(std::initializer_list<const char*> utf8)
{
    std::vector<Cp1251Text> cells;
    for (const char* text : utf8)
        cells.push_back(toCp1251(text));
    return cells;
}

// One grid row from texts of ASCII characters.
std::vector<Cp1251Text> asciiRow(const std::vector<std::string>& texts)
{
    std::vector<Cp1251Text> cells;
    for (const std::string& text : texts)
        cells.push_back(Cp1251Text::fromBytes(text));
    return cells;
}

TextGrid grid(std::initializer_list<std::vector<Cp1251Text>> rows)
{
    return TextGrid(rows);
}

std::string fixed(double x, int width, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%*.*f", width, decimals, x);
    return text;
}

std::array<Cp1251Text, 3> summaries(const char* mp, const char* mnk, const char* mnnk)
{
    return {toCp1251(std::string("МП     ") + mp), toCp1251(std::string("МНК    ") + mnk),
            toCp1251(std::string("МННК   ") + mnnk)};
}
} // namespace

// Two codominant alleles with counts 36, 48 and 16 (N = 100): every criterion gives 0.6 and
// 0.4, a perfect fit.
ResultTexts codominanceSample()
{
    ResultTexts texts;
    texts.alleles =
        grid({row({"1", "A", "0.600", "0.600", "0.600"}),
              row({"2", "B", "0.400", "0.400", "0.400"}), row({"", "Сумма", "1", "1", "1"})});
    texts.genotypes = grid({row({"1", "A/A", "0.3600", "0.3600", "0.3600"}),
                            row({"2", "A/B", "0.4800", "0.4800", "0.4800"}),
                            row({"3", "B/B", "0.1600", "0.1600", "0.1600"}),
                            row({"", "Сумма", "1.000", "1.000", "1.000"}),
                            row({"", "Гомозиготы", "0.520", "0.520", "0.520"}),
                            row({"", "Гетерозиготы", "0.480", "0.480", "0.480"})});
    texts.tests = grid({row({"1", "A", "84", "     84.00", "     84.00", "     84.00", "0.840",
                             "0.840", "0.840", "0.840"}),
                        row({"2", "B", "64", "     64.00", "     64.00", "     64.00", "0.640",
                             "0.640", "0.640", "0.640"})});
    texts.phenotypeList = grid({row({"1", "A", "36", "    36.00", "(A/A)"}),
                                row({"2", "A B", "48", "    48.00", "(A/B)"}),
                                row({"3", "B", "16", "    16.00", "(B/B)"})});
    texts.phenotypes = grid({row({"1", "A", "36", "  36.00", "  36.00", "  36.00", "0.3600",
                                  "0.3600", "0.3600", "0.3600"}),
                             row({"2", "A B", "48", "  48.00", "  48.00", "  48.00", "0.4800",
                                  "0.4800", "0.4800", "0.4800"}),
                             row({"3", "B", "16", "  16.00", "  16.00", "  16.00", "0.1600",
                                  "0.1600", "0.1600", "0.1600"}),
                             row({"", "Сумма", "100", " 100.00", " 100.00", " 100.00", "1.0000",
                                  "1.0000", "1.0000", "1.0000"})});
    texts.fitSummaries = summaries("Хи^2 =  0.000 Степеней свободы =2 p=1.000",
                                   "Хи^2 =  0.000 Степеней свободы =2 p=1.000",
                                   "Хи^2 =  0.000 Степеней свободы =2 p=1.000");
    return texts;
}

// A dominance series A > B > - with counts 51, 33 and 16 (N = 100).
ResultTexts dominanceSample()
{
    ResultTexts texts;
    texts.alleles = grid(
        {row({"1", "A", "0.300", "0.301", "0.299"}), row({"2", "B", "0.300", "0.299", "0.301"}),
         row({"3", "-", "0.400", "0.400", "0.400"}), row({"", "Сумма", "1", "1", "1"})});
    texts.genotypes = grid({row({"1", "A/A", "0.0900", "0.0906", "0.0894"}),
                            row({"2", "A/B", "0.1800", "0.1800", "0.1800"}),
                            row({"3", "A/-", "0.2400", "0.2408", "0.2392"}),
                            row({"4", "B/B", "0.0900", "0.0894", "0.0906"}),
                            row({"5", "B/-", "0.2400", "0.2392", "0.2408"}),
                            row({"6", "-/-", "0.1600", "0.1600", "0.1600"}),
                            row({"", "Сумма", "1.000", "1.000", "1.000"}),
                            row({"", "Гомозиготы", "0.340", "0.340", "0.340"}),
                            row({"", "Гетерозиготы", "0.660", "0.660", "0.660"})});
    texts.tests = grid({row({"1", "A", "51", "     51.00", "     51.12", "     50.88", "0.510",
                             "0.510", "0.511", "0.509"}),
                        row({"2", "B", "33", "     33.00", "     32.86", "     33.14", "0.330",
                             "0.330", "0.329", "0.331"})});
    texts.phenotypeList = grid({row({"1", "A", "51", "    51.00", "(A/A), (A/B), (A/-)"}),
                                row({"2", "B", "33", "    33.00", "(B/B), (B/-)"}),
                                row({"3", "-", "16", "    16.00", "(-/-)"})});
    texts.phenotypes = grid({row({"1", "A", "51", "  51.00", "  51.12", "  50.88", "0.5100",
                                  "0.5100", "0.5112", "0.5088"}),
                             row({"2", "B", "33", "  33.00", "  32.86", "  33.14", "0.3300",
                                  "0.3300", "0.3286", "0.3314"}),
                             row({"3", "-", "16", "  16.00", "  16.00", "  16.00", "0.1600",
                                  "0.1600", "0.1600", "0.1600"}),
                             row({"", "Сумма", "100", " 100.00", " 100.00", " 100.00", "1.0000",
                                  "1.0000", "0.9998", "1.0002"})});
    texts.fitSummaries = summaries("Хи^2 =  0.000 Степеней свободы =2 p=1.000",
                                   "Хи^2 =  0.003 Степеней свободы =2 p=0.999",
                                   "Хи^2 =  0.003 Степеней свободы =2 p=0.999");
    return texts;
}

// No allele, test or genotype rows; one phenotype, the report's sum row short of its last
// cells; an empty fit summary; and texts at the edges of the number rule: a minus zero, leading
// zeros, exponent notation, 16 significant digits, a negative value, surrounding spaces, an empty
// cell.
ResultTexts unusualTextsSample()
{
    ResultTexts texts;
    texts.phenotypeList = grid({row({"1", "  A B  ", "", "", ""})});
    texts.phenotypes = grid({row({"1", "A B", "0", "-0.000", "007", "1E-5", "  -12.50 ",
                                  "1234567890.123456", "123456789012.345", ""}),
                             row({"", "Сумма", "0", "1.", ".5", "+1"})});
    texts.fitSummaries = {Cp1251Text(),
                          toCp1251("МНК    Хи^2 =  1.000 Степеней свободы =1 p=0.317"),
                          Cp1251Text::fromBytes("0.5")};
    return texts;
}

// 50 codominant alleles, each carried by its own test: 1275 genotypes and as many
// phenotypes, with number texts of the report formats.
ResultTexts largestTaskSample()
{
    constexpr int alleleCount = 50;
    ResultTexts texts;
    const auto allele = [](int i) { return "T" + std::to_string(i); };
    const auto frequency = [](int i, int k) { return 0.0196 + 0.0001 * ((i * 7 + k) % 9); };

    for (int i = 1; i <= alleleCount; ++i)
        texts.alleles.addRow(
            asciiRow({std::to_string(i), allele(i), fixed(frequency(i, 0), 5, 3),
                      fixed(frequency(i, 1), 5, 3), fixed(frequency(i, 2), 5, 3)}));
    texts.alleles.addRow(row({"", "Сумма", "0.999", "1", "1.001"}));

    int genotype = 0;
    for (int a = 1; a <= alleleCount; ++a) {
        for (int b = a; b <= alleleCount; ++b) {
            ++genotype;
            std::vector<std::string> cells = {std::to_string(genotype),
                                              allele(a) + "/" + allele(b)};
            for (int k = 0; k < 3; ++k) {
                const double g = frequency(a, k) * frequency(b, k) * (a == b ? 1 : 2);
                cells.push_back(fixed(g, 5, 4));
            }
            texts.genotypes.addRow(asciiRow(cells));

            const std::string name = a == b ? allele(a) : allele(a) + " " + allele(b);
            const int count = (a * 13 + b * 7) % 40;
            texts.phenotypeList.addRow(
                asciiRow({std::to_string(genotype), name, std::to_string(count),
                          fixed(count + 0.37, 9, 2), "(" + allele(a) + "/" + allele(b) + ")"}));
            texts.phenotypes.addRow(asciiRow(
                {std::to_string(genotype), name, std::to_string(count), fixed(count + 0.37, 7, 2),
                 fixed(count - 0.21, 7, 2), fixed(count + 0.05, 7, 2), fixed(count / 25000.0, 6, 4),
                 fixed(count / 24999.0, 5, 4), fixed(count / 25001.0, 5, 4),
                 fixed(count / 25002.0, 5, 4)}));
        }
    }
    for (const char* name : {"Сумма", "Гомозиготы", "Гетерозиготы"})
        texts.genotypes.addRow(row({"", name, "1.000", "0.980", "0.020"}));
    texts.phenotypes.addRow(row({"", "Сумма", "24964", "24964.37", "24963.79", "24964.05", "1.0000",
                                 "0.9999", "1.0001", "1.0000"}));

    for (int t = 1; t <= alleleCount; ++t)
        texts.tests.addRow(
            asciiRow({std::to_string(t), allele(t), std::to_string(t * 31), fixed(t * 31.25, 10, 2),
                      fixed(t * 31.5, 10, 2), fixed(t * 30.75, 10, 2), fixed(t / 80.0, 5, 3),
                      fixed(t / 81.0, 5, 3), fixed(t / 79.0, 5, 3), fixed(t / 82.0, 5, 3)}));
    texts.fitSummaries = summaries("Хи^2 = 41.250 Степеней свободы =30 p=0.083",
                                   "Хи^2 = 40.125 Степеней свободы =30 p=0.102",
                                   "Хи^2 = 39.875 Степеней свободы =30 p=0.113");
    return texts;
}
