#pragma once

#include <QStringList>

// The program: checks the command line, creates the main window, loads the log given and runs
// the message loop. A QApplication must exist. Returns the process exit code: 255 after a fatal
// start message (more than one argument, a log that does not exist), 1 when the log of the
// command line cannot be loaded (the error has been reported), else the message loop's result.
// With runLoop false it returns 0 instead of running the loop (tests).
int RunViewer(const QStringList& arguments, bool runLoop = true);

extern const char* const kViewerTitle;
