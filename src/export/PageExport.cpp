#include "PageExport.h"

#include "Cp1252.h"
#include "DocumentJson.h"
#include "JsonWriter.h"
#include "ProductIdentity.h"
#include "TFilesTable.h"
#include "TMatrixTable.h"
#include "TRatingsTable.h"
#include "TTitlePage.h"
#include "Utf8.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdio>
#include <ostream>

namespace {

// Writes rows x cols cells of any grid: text(c, r) in code page 1252.
template <class TextOf>
void CellsJson(JsonWriter& json, int32_t rows, int32_t cols, const TextOf& text)
{
    json.BeginArray();
    for (int32_t r = 0; r < rows; ++r) {
        json.BeginArray();
        for (int32_t c = 0; c < cols; ++c)
            json.String(Cp1252ToUtf8(text(c, r)));
        json.EndArray();
    }
    json.EndArray();
}

template <class ColourOf>
void BackgroundJson(JsonWriter& json, int32_t rows, int32_t cols, const ColourOf& colour)
{
    json.BeginArray();
    for (int32_t r = 0; r < rows; ++r) {
        json.BeginArray();
        for (int32_t c = 0; c < cols; ++c) {
            const TOptionalColour fill = colour(c, r);
            if (fill)
                json.String(ColourName(*fill));
            else
                json.Null();
        }
        json.EndArray();
    }
    json.EndArray();
}

void TitleJson(JsonWriter& json, const TMatchDocument& doc)
{
    const TTitlePage title(doc);
    json.BeginObject();
    json.Key("head").String(Cp1252ToUtf8(title.Head));
    json.Key("customer").String(Cp1252ToUtf8(title.Customer));
    json.Key("task").String(Cp1252ToUtf8(title.Task));
    json.Key("percent").String(Cp1252ToUtf8(title.Percent));
    json.Key("singleNr").String(Cp1252ToUtf8(title.SingleNr));
    json.Key("info").BeginArray();
    for (const std::string& line : title.Info)
        json.String(Cp1252ToUtf8(line));
    json.EndArray();
    json.EndObject();
}

void FilesJson(JsonWriter& json, const TFilesTable& files)
{
    json.BeginObject();
    json.Key("fixedRows").Int(TFilesTable::FixedRows);
    json.Key("fixedCols").Int(files.FixedCols());
    json.Key("sumPanelsEnabled").Bool(files.SumPanelsEnabled);
    json.Key("cells");
    CellsJson(json, files.RowCount(), files.ColCount(),
              [&files](int32_t c, int32_t r) { return files.GridCellText(c, r); });
    json.Key("background");
    BackgroundJson(json, files.RowCount(), files.ColCount(),
                   [&files](int32_t c, int32_t r) { return files.CellColour(c, r); });
    json.Key("legend").String(Cp1252ToUtf8(files.BuildLegend()));
    json.Key("sumCaptions").BeginArray();
    json.String(Cp1252ToUtf8(TFilesTable::Sum1Caption()));
    json.String(Cp1252ToUtf8(TFilesTable::Sum2Caption()));
    json.EndArray();
    json.EndObject();
}

void MatrixJson(JsonWriter& json, const TMatrixTable& matrix)
{
    if (!matrix.Visible()) {
        json.Null();
        return;
    }
    json.BeginObject();
    json.Key("title").String(Cp1252ToUtf8(matrix.Title()));
    json.Key("fixedCols").Int(matrix.FixedCols());
    json.Key("cells");
    CellsJson(json, matrix.RowCount(), matrix.ColCount(),
              [&matrix](int32_t c, int32_t r) { return matrix.CellText(c, r); });
    json.Key("background");
    BackgroundJson(json, matrix.RowCount(), matrix.ColCount(),
                   [&matrix](int32_t c, int32_t r) { return matrix.CellColour(c, r); });
    json.EndObject();
}

void RatingsJson(JsonWriter& json, const TRatingsTable& ratings)
{
    if (!ratings.Visible()) {
        json.Null();
        return;
    }
    json.BeginObject();
    json.Key("cells");
    CellsJson(json, ratings.RowCount(), TRatingsTable::ColCount,
              [&ratings](int32_t c, int32_t r) { return ratings.CellText(c, r); });
    json.EndObject();
}

} // namespace

std::string FileNameUtf8(const std::string& bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = Utf8SequenceAt(bytes, i);
        if (length > 0) {
            out.append(bytes, i, length);
            i += length;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(bytes[i]));
        out += escaped;
        ++i;
    }
    return out;
}

std::string DisplayFileName(const std::string& bytes)
{
    return QFile::decodeName(QByteArray::fromStdString(bytes)).toStdString();
}

void WritePagesJson(std::ostream& out, const TMatchDocument& doc, const std::string& language)
{
    const TFilesTable files(doc);
    const TMatrixTable matrix(doc);
    const TRatingsTable ratings(doc);
    JsonWriter json(out);
    json.BeginObject();
    json.Key("path").String(FileNameUtf8(doc.FileName));
    json.Key("language").String(language);
    json.Key("caption").String(WindowCaption(kApplicationTitle, DisplayFileName(doc.FileName)));
    json.Key("pages").BeginArray().String("Titel").String("Dateien");
    if (matrix.Visible())
        json.String("Matrix");
    if (ratings.Visible())
        json.String("Ratings");
    json.EndArray();
    json.Key("title");
    TitleJson(json, doc);
    json.Key("files");
    FilesJson(json, files);
    json.Key("matrix");
    MatrixJson(json, matrix);
    json.Key("ratings");
    RatingsJson(json, ratings);
    json.Key("document");
    WriteDocumentJson(json, doc);
    json.EndObject();
    json.Flush();
}
