#include "cli/archive_calc.h"

#include "archive/archived_task.h"
#include "cli/task_file.h"

#include <memory>
#include <ostream>

namespace {

constexpr int badInput = 2;

} // namespace

int runArchiveCalculator(const CalcOptions& options, std::ostream& out, std::ostream& err)
{
    const auto task = std::make_unique<TaskState>();
    const ArchivedTask archived = loadArchivedTask(options.archiveFolder, options.taskName, *task);
    if (archived.problem) {
        err << taskFileProblemText(options.archiveFolder, {0, *archived.problem}) << "\n";
        return badInput;
    }
    CalcOptions chosen = options;
    if (!options.criterionGiven)
        chosen.criterion =
            archived.criterion >= 1 && archived.criterion <= 3 ? archived.criterion : 1;
    return calculateLoadedTask(chosen, options.archiveFolder, *task, archived, out, err);
}
