#include "TRatingsTable.h"

#include "TLocale.h"

std::string FormatRatingRow(const std::string& format, int32_t row)
{
    std::string text = format;
    const auto at = text.find("%d");
    if (at != std::string::npos)
        text.replace(at, 2, std::to_string(row));
    return text;
}

std::string TRatingsTable::CellText(int32_t c, int32_t r) const
{
    if (r < 0 || r >= RowCount() || c < 0 || c >= ColCount)
        return std::string();
    if (r == 0)
        return c == 1 ? Locale().ReplacementsTitle : std::string();
    if (c == 1)
        return std::to_string(m_doc.Ratings[r - 1]);
    return r == 1 ? Locale().RecordsLabel : FormatRatingRow(Locale().RatingRowFormat, r - 1);
}
