#include "task/phenotypes.h"

#include "platform/cp1251.h"
#include "task/allele_check.h"

namespace {

// " " + text + " ", built by appending: GCC 12 at -O2 warns falsely (-Wrestrict) about a
// text literal followed by a temporary string.
std::string spaced(const std::string& text)
{
    std::string s(1, ' ');
    s += text;
    s += ' ';
    return s;
}

// The phenotype of a codominant pair: the union of both alleles' tests, sorted.
std::string codominantPhenotype(const std::string& nameI, const std::string& nameJ)
{
    std::string w = spaced(trimCp1251(nameI));
    std::string v = trimCp1251(nameJ) + " ";
    if (trimCp1251(v) == "-") v.clear();
    if (trimCp1251(w) == "-") w.clear();
    for (const std::string& t : splitTokens(v))
        if (w.find(spaced(t)) == std::string::npos) w = spaced(trimCp1251(w) + " " + t);
    return nameOfTests(splitTokens(trimCp1251(w)));
}

} // namespace

bool generatePhenotypes(TaskState& task, InheritanceMode mode, int phenotypeLimit)
{
    task.genotypeCount = 0;
    task.phenotypeCount = 0;
    for (int i = 1; i <= task.alleleCount; ++i) {
        for (int j = i; j <= task.alleleCount; ++j) {
            const bool bothMinus = mode == InheritanceMode::codominance &&
                                   trimCp1251(task.alleleNames[i]) == "-" &&
                                   trimCp1251(task.alleleNames[j]) == "-";
            int number = 0;
            std::string p;
            if (bothMinus) {
                p = "- ";
            } else {
                p = mode == InheritanceMode::codominance
                        ? codominantPhenotype(task.alleleNames[i], task.alleleNames[j])
                        : trimCp1251(task.alleleNames[i]) + " ";
                // The last match is kept, as the list is searched to its end.
                for (int r = 1; r <= task.phenotypeCount; ++r)
                    if (task.phenotypeNames[r] == p) number = r;
            }
            if (number == 0) {
                if (task.phenotypeCount >= phenotypeLimit) return false;
                number = ++task.phenotypeCount;
                task.phenotypeNames[number] = p;
            }
            const int k = ++task.genotypeCount;
            task.genotypeFirstAllele[k] = i;
            task.genotypeSecondAllele[k] = j;
            task.genotypePhenotype[k] = number;
        }
    }
    return true;
}

std::string phenotypeLimitMessage()
{
    return "Слишком много фенотипов. Максимум - " + std::to_string(maxPhenotypes);
}

std::string genotypeName(const TaskState& task, int k)
{
    return trimCp1251(task.alleleNames[task.genotypeFirstAllele[k]]) + "/" +
           trimCp1251(task.alleleNames[task.genotypeSecondAllele[k]]);
}

std::string genotypeClassText(const TaskState& task, int r)
{
    std::string text;
    for (int k = 1; k <= task.genotypeCount; ++k)
        if (task.genotypePhenotype[k] == r) {
            text += '(';
            text += genotypeName(task, k);
            text += "), ";
        }
    if (text.size() >= 2) text.resize(text.size() - 2);
    return text;
}
