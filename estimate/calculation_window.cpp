#include "estimate/calculation_window.h"

void calculateAndShowResults() {}
