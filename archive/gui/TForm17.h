// The restore window: replaces the archive tables by those of the folder arhivpog of a
// lettered drive.
#pragma once

#include "archive/gui/drive_letter_window.h"

class TForm17 : public DriveLetterForm
{
public:
    TForm17();
    void Button1Click() override;
};

extern TForm17* Form17;
