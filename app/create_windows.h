#pragma once

// Creates every window of the program once, in the fixed order; the first becomes the
// main window. Throws when the archive tables cannot be opened.
void createWindows();
