#include "TPrintProgress.h"

#include "TQuickRep.h"

#include <memory>

QString TPrintProgress::Text(int part, int parts, int page, int pages, bool printing)
{
    const QString where = QStringLiteral("Teil %1 von %2: Seite %3").arg(part).arg(parts).arg(page);
    if (!printing)
        return where + QStringLiteral(" wird vorbereitet");
    return where + (pages > 0 ? QStringLiteral(" von %1").arg(pages) : QString()) +
           QStringLiteral(" wird gedruckt");
}

void TPrintProgress::Follow(TPrintProgress* progress, TQuickRep& report, int part, int parts)
{
    if (!progress) {
        report.OnPageDone = nullptr;
        return;
    }
    // The preparing pass runs first and counts the pages the printing pass will print.
    auto prepared = std::make_shared<int>(0);
    report.OnPageDone = [progress, part, parts, prepared](TQuickRep& pass, bool printing) {
        const int page = pass.PageNumber();
        if (!printing)
            *prepared = page;
        if (!progress->PageDone(part, parts, page, printing ? *prepared : 0, printing))
            throw EPrintCancelled();
    };
}
