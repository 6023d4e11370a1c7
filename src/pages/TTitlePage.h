#pragma once

#include "TMatchDocument.h"

#include <string>
#include <vector>

// The texts of the title page, code page 1252, before any "&" escaping for display.
struct TTitlePage {
    explicit TTitlePage(const TMatchDocument& doc);

    std::string Head;     // HeadText
    std::string Customer; // "  " + CustomerText
    std::string Task;     // "  " + TaskText
    std::string Percent;  // "  " + PercentText + " %"
    std::string SingleNr; // "Protokoll 3  " in a single log, else empty
    std::vector<std::string> Info;
};

// The window caption, UTF-8: "<app> - Statistik-Protokoll" without a log, with " - <path>" after
// it with one (the locale's "Statistik" and "Protokoll" joined by "-"). The application title
// and the path are UTF-8 already (the path as the window shows it).
std::string WindowCaption(const std::string& appTitle, const std::string& fileName);
