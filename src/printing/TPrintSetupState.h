#pragma once

#include <QString>

#include <cstdint>

// The print choices the main window remembers from one print command to the next: the printer,
// bin and orientation confirmed last, and what a print contains.
class TPrintSetupState {
public:
    // variant 1 is the log-contents variant, the only one the program uses.
    explicit TPrintSetupState(std::uint8_t variant)
        : Variant(variant)
    {
    }

    std::uint8_t Variant;
    bool PrinterChosen = false;
    QString PrinterName;
    int BinIndex = 0;
    int OrientationIndex = 0;
    // The file the PDF entry wrote last; its print dialog offers it again.
    QString PdfFileName;
    bool TitleAndTable = true;
    bool Matrix = true;
    bool Ratings = true;
    bool Singles = false;
};
