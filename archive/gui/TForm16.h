// The backup window: copies the archive tables to the folder arhivpog of a lettered drive.
#pragma once

#include "archive/gui/drive_letter_window.h"

class TForm16 : public DriveLetterForm
{
public:
    TForm16();
    void Button1Click() override;
};

extern TForm16* Form16;
