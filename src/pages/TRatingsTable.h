#pragma once

#include "TMatchDocument.h"

#include <string>

// What the ratings page shows: a header row ("Ersetungen"), then "Sätze" and one row "F<i>" per
// rating row with its count. The document must outlive the table.
class TRatingsTable {
public:
    explicit TRatingsTable(const TMatchDocument& doc)
        : m_doc(doc)
    {
    }

    // The tab shows only for two or more rating elements.
    bool Visible() const { return m_doc.Ratings.size() >= 2; }
    int32_t RowCount() const { return static_cast<int32_t>(m_doc.Ratings.size()) + 1; }
    static constexpr int32_t ColCount = 2;
    static constexpr int32_t FixedRows = 1;
    static constexpr int32_t FixedCols = 1;

    std::string CellText(int32_t c, int32_t r) const;

private:
    const TMatchDocument& m_doc;
};

// The locale's rating row format ("F%d") applied to a row number; only the first "%d" is
// replaced, so a format text can never read arguments that are not there.
std::string FormatRatingRow(const std::string& format, int32_t row);
