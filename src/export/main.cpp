#include "AtomicFile.h"
#include "ExportCommand.h"

#include <clocale>
#include <cstdio>
#include <iostream>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

int main(int argc, char** argv)
{
    ReserveStandardDescriptors();
    // SIGPIPE keeps its default: a reader that goes away (a pipe into head) ends the export
    // as it ends every filter, and the shell sees the signal, never a success.

    // Percentages use the decimal separator of the user's regional settings, as in the viewer.
    std::setlocale(LC_NUMERIC, "");
    // Progress is for a person watching a terminal; a log file or a pipe gets only the messages.
#ifdef _WIN32
    const bool terminal = _isatty(_fileno(stderr)) != 0;
#else
    const bool terminal = isatty(STDERR_FILENO) != 0;
#endif
    return RunExport(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                     terminal);
}
