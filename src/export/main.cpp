#include "AtomicFile.h"
#include "ExportCommand.h"

#include <clocale>
#include <iostream>

int main(int argc, char** argv)
{
    ReserveStandardDescriptors();
    // SIGPIPE keeps its default: a reader that goes away (a pipe into head) ends the export
    // as it ends every filter, and the shell sees the signal, never a success.

    // Percentages use the decimal separator of the user's regional settings, as in the viewer.
    std::setlocale(LC_NUMERIC, "");
    return RunExport(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
