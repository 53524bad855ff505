#include "task/task_state.h"

TaskState task;
