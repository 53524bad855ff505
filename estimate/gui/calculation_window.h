#pragma once

// "Начать расчет": reads the counts and the total from the control window, runs the
// calculation for the three criteria and has the control window and both report windows
// show its tables, then shows "Расчет выполнен." and the report and export
// buttons. A run that cannot start (no counts, a negative count) shows its message and
// writes nothing.
void calculateAndShowResults();
