#pragma once

#include <QString>

class TformMain;

// Saves a picture of every view of the main window and of the shell's dialogs
// into `folder`, so their look can be checked without a person at the screen.
// False when a picture could not be written.
bool takeScreenshots(TformMain& window, const QString& folder);
