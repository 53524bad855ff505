// Texts like those the windows show after a calculation, for the workbook tests and the
// benchmark: a small codominance task, a small dominance task, a task whose grids are empty
// or hold unusual texts, and the largest task (50 alleles, 1275 phenotypes).
#pragma once

#include "export/result_texts.h"

ResultTexts codominanceSample();
ResultTexts dominanceSample();
ResultTexts unusualTextsSample();
ResultTexts largestTaskSample();
