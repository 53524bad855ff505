#include "task/phenotypes.h"

#include "task/allele_check.h"

namespace {

const Cp1251Text minus = Cp1251Text::fromBytes("-");
const Cp1251Text space = Cp1251Text::fromBytes(" ");
const Cp1251Text slash = Cp1251Text::fromBytes("/");

Cp1251Text spaced(const Cp1251Text& text)
{
    return space + text + space;
}

// The phenotype of a codominant pair: the union of both alleles' tests, sorted.
Cp1251Text codominantPhenotype(const Cp1251Text& nameI, const Cp1251Text& nameJ)
{
    Cp1251Text w = spaced(nameI.trimmed());
    Cp1251Text v = nameJ.trimmed() + space;
    if (v.trimmed() == minus) v = {};
    if (w.trimmed() == minus) w = {};
    for (const Cp1251Text& t : splitTokens(v))
        if (!w.contains(spaced(t))) w = spaced(w.trimmed() + space + t);
    return nameOfTests(splitTokens(w.trimmed()));
}

} // namespace

bool generatePhenotypes(TaskState& task, InheritanceMode mode, int phenotypeLimit)
{
    task.genotypeCount = 0;
    task.phenotypeCount = 0;
    for (int i = 1; i <= task.alleleCount; ++i) {
        for (int j = i; j <= task.alleleCount; ++j) {
            const bool bothMinus = mode == InheritanceMode::codominance &&
                                   task.alleleNames[i].trimmed() == minus &&
                                   task.alleleNames[j].trimmed() == minus;
            int number = 0;
            Cp1251Text p;
            if (bothMinus) {
                p = minus + space;
            } else {
                p = mode == InheritanceMode::codominance
                        ? codominantPhenotype(task.alleleNames[i], task.alleleNames[j])
                        : task.alleleNames[i].trimmed() + space;
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

Cp1251Text genotypeName(const TaskState& task, int k)
{
    return task.alleleNames[task.genotypeFirstAllele[k]].trimmed() + slash +
           task.alleleNames[task.genotypeSecondAllele[k]].trimmed();
}

Cp1251Text genotypeClassText(const TaskState& task, int r)
{
    std::string text;
    for (int k = 1; k <= task.genotypeCount; ++k)
        if (task.genotypePhenotype[k] == r) {
            text += '(';
            text += genotypeName(task, k).bytes();
            text += "), ";
        }
    if (text.size() >= 2) text.resize(text.size() - 2);
    return Cp1251Text::fromBytes(std::move(text));
}
