#pragma once

// "Начать расчет": reads the counts and the total from the control window, runs the
// calculation for the three criteria and writes every result cell of the control window
// and of both report windows.
void calculateAndShowResults();
