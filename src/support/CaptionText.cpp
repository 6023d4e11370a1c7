#include "CaptionText.h"

QString CaptionText(const QString& caption)
{
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption.at(i);
        if (c == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i;
            shown += caption.at(i);
            continue;
        }
        shown += c;
    }
    return shown;
}
