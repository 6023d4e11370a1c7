#pragma once

#include "ReportNumbers.h"

#include <QHash>
#include <QString>

#include <functional>

class TReportSource;

// What the report forms of one print command measure alike: the text widths of the window's
// grid columns on one device and the number formats of the files table's columns. Every part a
// command prints (the whole log, each single log) lays its tables out from the same grids, so
// each is measured once for the command rather than once per part: a single log would otherwise
// read the whole files table again, and single logs would cost the square of the files.
//
// The source must outlive the measures.
class TReportMeasures {
public:
    explicit TReportMeasures(const TReportSource& source);
    TReportMeasures(const TReportMeasures&) = delete;
    TReportMeasures& operator=(const TReportMeasures&) = delete;

    const TReportSource& Source() const { return m_source; }

    // The width in pixels measured under key on a device (named by its resolution and font);
    // measure runs the first time only.
    int Width(const QString& device, const QString& key, const std::function<int()>& measure);
    // The number format found under key; detect runs the first time only.
    TNumberFormat Format(const QString& key, const std::function<TNumberFormat()>& detect);

private:
    const TReportSource& m_source;
    QHash<QString, int> m_widths;
    QHash<QString, TNumberFormat> m_formats;
};
