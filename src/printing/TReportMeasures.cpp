#include "TReportMeasures.h"

TReportMeasures::TReportMeasures(const TReportSource& source)
    : m_source(source)
{
}

int TReportMeasures::Width(const QString& device, const QString& key,
                           const std::function<int()>& measure)
{
    const QString entry = device + QLatin1Char('|') + key;
    const auto found = m_widths.constFind(entry);
    if (found != m_widths.constEnd())
        return found.value();
    const int width = measure();
    m_widths.insert(entry, width);
    return width;
}

TNumberFormat TReportMeasures::Format(const QString& key,
                                      const std::function<TNumberFormat()>& detect)
{
    const auto found = m_formats.constFind(key);
    if (found != m_formats.constEnd())
        return found.value();
    const TNumberFormat format = detect();
    m_formats.insert(key, format);
    return format;
}
