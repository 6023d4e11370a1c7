#include "DocumentJson.h"

#include "Cp1252.h"

#include <cstdio>

namespace {

void IntArray(JsonWriter& json, const std::vector<int32_t>& values)
{
    json.BeginArray();
    for (int32_t v : values)
        json.Int(v);
    json.EndArray();
}

void TextArray(JsonWriter& json, const std::vector<std::string>& texts)
{
    json.BeginArray();
    for (const std::string& t : texts)
        json.String(Cp1252ToUtf8(t));
    json.EndArray();
}

std::string Hex(const std::array<uint8_t, 16>& bytes)
{
    std::string out;
    char two[3];
    for (uint8_t b : bytes) {
        std::snprintf(two, sizeof two, "%02x", b);
        out += two;
    }
    return out;
}

} // namespace

void WriteDocumentJson(JsonWriter& json, const TMatchDocument& doc)
{
    json.BeginObject();
    json.Key("opaqueFlag").Int(doc.OpaqueFlag);
    json.Key("groupMode").Int(doc.GroupMode);
    json.Key("intraKinds").BeginArray();
    for (int kind = 0; kind < 8; ++kind) {
        if (KindInSet(doc.IntraKinds, static_cast<TFileKind>(kind)))
            json.Int(kind);
    }
    json.EndArray();
    json.Key("fileLabelKind").Int(doc.FileLabelKind);
    json.Key("opaqueValue").Int(doc.OpaqueValue);
    json.Key("kindLetters").String(Cp1252ToUtf8(std::string(doc.KindLetters.data(), 4)));
    json.Key("ownPriorityMark").String(Cp1252ToUtf8(std::string(1, doc.OwnPriorityMark)));
    json.Key("matrixKind").Int(doc.MatrixKind);
    json.Key("matrixTriangular").Bool(doc.MatrixTriangular);
    json.Key("legacy").Bool(doc.Legacy);
    json.Key("singleNumber").Int(doc.SingleNumber);
    json.Key("originId").String(Hex(doc.OriginId));
    json.Key("columns");
    IntArray(json, doc.Columns);
    json.Key("customerText").String(Cp1252ToUtf8(doc.CustomerText));
    json.Key("headText").String(Cp1252ToUtf8(doc.HeadText));
    json.Key("taskText").String(Cp1252ToUtf8(doc.TaskText));
    json.Key("percentText").String(Cp1252ToUtf8(doc.PercentText));
    json.Key("infoLines");
    TextArray(json, doc.InfoLines);
    json.Key("grossTotal").Int(doc.GrossTotal);
    json.Key("hitsTotal").Int(doc.HitsTotal);
    json.Key("fileCount").Int(doc.FileCount);
    json.Key("entries").BeginArray();
    for (const TMatchDocFileEntry& e : doc.Entries) {
        json.BeginObject();
        json.Key("kind").Int(e.Kind);
        json.Key("ownPriority").Int(e.OwnPriority);
        json.Key("priority").Int(e.Priority);
        json.Key("ident").String(Cp1252ToUtf8(e.Ident));
        json.Key("name").String(Cp1252ToUtf8(e.Name));
        json.Key("gross").Int(e.Gross);
        json.Key("intra").Int(e.Intra);
        json.Key("duplicates").Int(e.Duplicates);
        json.Key("hits").Int(e.Hits);
        json.Key("netEstimate").Int(e.NetEstimate);
        json.Key("multi").Int(e.Multi);
        json.EndObject();
    }
    json.EndArray();
    json.Key("ratings");
    IntArray(json, doc.Ratings);
    json.Key("matrix").BeginArray();
    for (const TVectorData& row : doc.Matrix)
        IntArray(json, row);
    json.EndArray();
    json.Key("addedColumns").BeginArray();
    for (const TMatchDocAddColEntry& column : doc.AddedColumns) {
        json.BeginObject();
        json.Key("cells");
        TextArray(json, column.Cells);
        json.Key("sumWithout").Int(column.SumWithout);
        json.Key("sumWith").Int(column.SumWith);
        json.Key("leftAligned").Int(column.LeftAligned);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}
