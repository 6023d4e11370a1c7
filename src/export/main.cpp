#include "ExportCommand.h"

#include <clocale>
#include <iostream>

int main(int argc, char** argv)
{
    // Percentages use the decimal separator of the user's regional settings, as in the viewer.
    std::setlocale(LC_NUMERIC, "");
    return RunExport(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
