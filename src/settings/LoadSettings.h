#pragma once

#include "settings/IndexChooser.h"

class TfrmMain;

// Reads the brand settings file of the program folder once, while the main
// window is created, keeps the brand values in the window and applies them:
// caption, Check News button, Make Money caption, banner, link bar, the
// skin (mainskin.dat, a style sheet for the whole application) and the
// application icon (main.ico). Without dbsettings.dat nothing changes.
// Throws FileError when the working copy cannot be made or read; nothing
// has been applied then.
void LoadSettings(TfrmMain& window, const IndexChooser& choose = ChooseFromClock);
