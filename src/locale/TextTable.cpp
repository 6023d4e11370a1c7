#include "TextTable.h"

#include <algorithm>
#include <iterator>

namespace {

struct TTextEntry {
    int32_t Id;
    const char* Text;
};

// Byte for byte as users have always seen them, the misspelling "Ersetungen" and the double
// blanks included. An id that a language leaves without text (English 107 and 116) is absent.
constexpr TTextEntry kTexts[] = {
    {1, "2"},
    {11, "Deutsch=1000"},
    {12, "Englisch (US)=2000"},

    {1001, "Nr."},
    {1002, "Datei"},
    {1003, "Dateiname"},
    {1004, "Prio"},
    {1005, "Art"},
    {1006, "Ersetungen"},
    {1008, "S\xe4tze"},
    {1009, "F%d"},
    {1101, "S\xe4tze"},
    {1102, "Lieferung"},
    {1103, "S\xe4tze"},
    {1104, "Brutto"},
    {1105, "Intra-"},
    {1106, "Dubletten"},
    {1107, "Dubletten"},
    {1108, "absolut"},
    {1109, "Dubletten"},
    {1110, "Treffer"},
    {1111, "Dubletten"},
    {1112, "in %"},
    {1113, "S\xe4tze"},
    {1114, "%-Netto"},
    {1115, "S\xe4tze"},
    {1116, "Netto"},
    {1117, "S\xe4tze"},
    {1118, "Single"},
    {1119, "S\xe4tze"},
    {1120, "Multi"},
    {1201, "Kompatibilit\xe4tsmatrix"},
    {1202, "Eliminationsmatrix"},
    {1203, "\xdc"
           "berschneidungsmatrix"},
    {1301, "Grunddatei"},
    {1302, "Master-Datei"},
    {1303, "Sperrdatei"},
    {1304, "Kompaktsperrdatei"},
    {1401, "datensatzeigene Priorit\xe4t kommt hinzu"},
    {1501, "Summe mit  Sperrdateien"},
    {1502, "Summe ohne Sperrdateien"},
    {1504, "Protokoll"},
    {1505, "Einzel-Protokoll"},
    {1506, "Seite"},
    {1507, "Netto-Anteil"},
    {1508, "Statistik"},

    {2001, "Nr."},
    {2002, "File"},
    {2003, "Filename"},
    {2004, "Prio"},
    {2005, "Type"},
    {2006, "Replacements"},
    {2008, "Data Records"},
    {2009, "F%d"},
    {2101, "Delivered"},
    {2102, "Addresses"},
    {2103, "Gross"},
    {2104, "Input"},
    {2105, "Intra"},
    {2106, "Dupes"},
    {2108, "Dupes"},
    {2109, "Dupe"},
    {2110, "Hits"},
    {2111, "Percentage"},
    {2112, "Of Dupes"},
    {2113, "Net Output"},
    {2114, "Estimate"},
    {2115, "Net Output"},
    {2117, "Output"},
    {2118, "Singles"},
    {2119, "Output"},
    {2120, "Multies"},
    {2201, "Compatibilitymatrix"},
    {2202, "Eliminationmatrix"},
    {2203, "Overlapmatrix"},
    {2301, "Basicfile"},
    {2302, "Masterfile"},
    {2303, "Purgefile"},
    {2304, "Compact Purgefile"},
    {2401, "Including Priority In Data Record-Own"},
    {2501, "Sum with Lockfiles"},
    {2502, "Sum w/o  Lockfiles"},
    {2504, "Protocol"},
    {2505, "Single-Protocol"},
    {2506, "Page"},
    {2507, "Net-Proportion"},
    {2508, "Statistic"},
};

} // namespace

std::string TableText(int32_t absoluteId)
{
    const auto found =
        std::find_if(std::begin(kTexts), std::end(kTexts),
                     [absoluteId](const TTextEntry& e) { return e.Id == absoluteId; });
    return found == std::end(kTexts) ? std::string() : std::string(found->Text);
}
