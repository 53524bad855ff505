// The help text of the main window, line by line.
#pragma once

#include <QStringList>

QStringList mainHelpLines();
