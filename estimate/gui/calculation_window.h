#pragma once

// "Начать расчет": reads the counts and the total from the control window, runs the
// calculation for the three criteria and writes every result cell of the control window
// and of both report windows, then shows "Расчет выполнен." and the report and export
// buttons. A run that cannot start (no counts, a negative count) shows its message and
// writes nothing.
void calculateAndShowResults();
