// Qt's own Russian texts (Debian's qt6-translations-l10n): the buttons, captions and context
// menus of the standard dialogs and controls speak Russian, as the program's own texts do.
#pragma once

// Loads and installs Qt's Russian catalogue from Qt's translations folder; false when it is not
// installed (the standard texts then stay English).
bool installQtTranslations();
