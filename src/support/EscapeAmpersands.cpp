#include "EscapeAmpersands.h"

QString EscapeAmpersands(const QString& text)
{
    QString result = text;
    result.replace(QLatin1Char('&'), QLatin1String("&&"));
    return result;
}
