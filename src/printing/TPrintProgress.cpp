#include "TPrintProgress.h"

#include "TQuickRep.h"

QString TPrintProgress::Text(int part, int parts, int page, bool printing)
{
    return QStringLiteral("Teil %1 von %2: Seite %3 wird %4")
        .arg(part)
        .arg(parts)
        .arg(page)
        .arg(printing ? QStringLiteral("gedruckt") : QStringLiteral("vorbereitet"));
}

void TPrintProgress::Follow(TPrintProgress* progress, TQuickRep& report, int part, int parts)
{
    if (!progress) {
        report.OnPageDone = nullptr;
        return;
    }
    report.OnPageDone = [progress, part, parts](TQuickRep& pass, bool printing) {
        if (!progress->PageDone(part, parts, pass.PageNumber(), printing))
            throw EPrintCancelled();
    };
}
