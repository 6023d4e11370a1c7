#pragma once

#include <QStringList>

#include <iosfwd>
#include <memory>

class QApplication;

// The program: checks the command line, creates the main window, loads the log given and runs
// the message loop. A QApplication must exist. Returns the process exit code: 255 after a fatal
// start message (more than one argument, a log that does not exist), 1 when the log of the
// command line cannot be loaded (the error has been reported), else the message loop's result.
// With runLoop false it returns 0 instead of running the loop (tests).
int RunViewer(const QStringList& arguments, bool runLoop = true);

// The options answered before any window system is touched, the GNU way: "--help" prints the
// usage and what the program does, "--version" the application title and the maker notice, on
// out; both return 0. Any other command line returns -1: it is the viewer's own (the arguments
// after the program name).
int AnswerInformationOption(const QStringList& arguments, std::ostream& out);

// The one argument that only tries the window system: the program creates its application and
// ends with 0, or says why it cannot (see CreateApplication).
extern const char* const kCheckDisplayOption;

// Creates the application on the window system Qt chooses (or the list in QT_QPA_PLATFORM).
// Where none can start, Qt would abort; instead a short German message naming the display
// settings goes to stderr and the process ends with exit code 1. Qt's own messages from the
// start are passed on only when it succeeds.
std::unique_ptr<QApplication> CreateApplication(int& argc, char** argv);
