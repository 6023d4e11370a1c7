#pragma once

#include <QString>

#include <stdexcept>

class TQuickRep;

// What a print of a statistics log tells about its progress as it goes, page by page, and how
// it learns that the user wants it to stop. A print has parts (the whole log, then one single
// log per input file); each part runs a preparing pass that lays it out and a printing pass.
class TPrintProgress {
public:
    virtual ~TPrintProgress() = default;

    // After each page: part of parts (from 1), the page's number in its pass, whether that is
    // the printing pass, and the part's number of pages (known once the preparing pass is over:
    // 0 during it). False stops the print after this page.
    virtual bool PageDone(int part, int parts, int page, int pages, bool printing) = 0;

    // "Teil 2 von 9: Seite 14 von 31 wird gedruckt", "Teil 2 von 9: Seite 14 wird vorbereitet".
    static QString Text(int part, int parts, int page, int pages, bool printing);

    // Reports the pages of the report's passes as those of that part; when PageDone says stop,
    // the pass ends with EPrintCancelled. Null progress: nothing is reported.
    static void Follow(TPrintProgress* progress, TQuickRep& report, int part, int parts);
};

// Ends a print run whose progress asked it to stop: the part being printed is not finished
// (its job never reaches the printer, its file is removed); parts finished before stay.
class EPrintCancelled : public std::runtime_error {
public:
    EPrintCancelled()
        : std::runtime_error("Der Druck wurde abgebrochen.")
    {
    }
};
