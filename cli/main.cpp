// velimor-calc: the calculation of the control window's "Начать расчет" from a task file,
// without windows. Usage: velimor-calc [--seed N] [--criterion 1|2|3] [--json] [--xlsx FILE]
// TASKFILE ("-" reads standard input), or with --archive FOLDER --task NAME instead of
// TASKFILE for a task saved in the archive tables of FOLDER. --xlsx also writes the results
// workbook; --stats [--replicates B] adds the statistics of the task (B from 100 to 100000,
// 1000 by default), with a progress line on standard error when that is a terminal; --help
// and --version print what they name. Exit code 0 on success, 2 on bad input, 1 when the
// workbook cannot be written. With --compare it compares several tasks instead
// (cli/calc_compare.h), or by population labels over their shared systems (cli/calc_study.h);
// --import and --save write into the archive (cli/archive_write.h); with --parentage it judges
// a parentage case (cli/calc_parentage.h).
#include "cli/archive_calc.h"
#include "cli/archive_write.h"
#include "cli/calc_compare.h"
#include "cli/calc_options.h"
#include "cli/calc_parentage.h"
#include "cli/calc_study.h"
#include "cli/task_file.h"

#include <iostream>
#include <sstream>
#include <unistd.h>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (archiveWriteRequested(arguments)) return runArchiveWrite(arguments, std::cout, std::cerr);
    if (studyRequested(arguments)) return runStudyCalculator(arguments, std::cout, std::cerr);
    if (comparisonRequested(arguments))
        return runCompareCalculator(arguments, std::cout, std::cerr);
    if (parentageRequested(arguments))
        return runParentageCalculator(arguments, std::cout, std::cerr);
    const ParsedOptions parsed = parseCalcOptions(arguments);
    if (!parsed.information.empty()) {
        std::cout << parsed.information;
        return 0;
    }
    if (!parsed.problem.empty()) {
        std::cerr << parsed.problem << "\n" << calcUsage() << "\n";
        return 2;
    }
    CalcOptions options = parsed.options;
    options.progressOnTerminal = isatty(STDERR_FILENO) != 0;
    if (!options.archiveFolder.empty()) return runArchiveCalculator(options, std::cout, std::cerr);
    if (options.taskFile == "-") {
        std::ostringstream text;
        text << std::cin.rdbuf();
        return runCalculator(options, text.str(), std::cout, std::cerr);
    }
    std::string problem;
    const std::optional<std::string> text = readTaskFile(options.taskFile, problem);
    if (!text) {
        std::cerr << problem << "\n";
        return 2;
    }
    return runCalculator(options, *text, std::cout, std::cerr);
}
