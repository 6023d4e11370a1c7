#include "HostileLogs.h"

#include "Samples.h"

namespace {

constexpr int32_t kIdent = -12;
constexpr int32_t kName = -13;
constexpr int32_t kNumber = -11;
constexpr int32_t kGross = -2;

// An added column of n files whose file rows hold cell(i).
TMatchDocAddColEntry AddedColumn(int32_t n, const std::string& title,
                                 const std::function<std::string(int32_t)>& cell)
{
    TMatchDocAddColEntry column;
    column.SumWithout = 1;
    column.SumWith = 1;
    column.Cells.reserve(static_cast<size_t>(n) + 4);
    column.Cells.push_back(title);
    column.Cells.push_back("");
    for (int32_t i = 0; i < n; ++i)
        column.Cells.push_back(cell(i));
    column.Cells.push_back("");
    column.Cells.push_back("");
    return column;
}

TMatchDocument WithRepeatedCode(TMatchDocument doc, int32_t code, int32_t times)
{
    doc.Columns.insert(doc.Columns.end(), static_cast<size_t>(times), code);
    return doc;
}

TMatchDocument OneHugeCell(int32_t repeats, int32_t length, int32_t row)
{
    TMatchDocument doc = PlainFilesLog(1);
    doc.AddedColumns = {AddedColumn(1, "Notiz", [](int32_t) { return std::string("1"); })};
    doc.AddedColumns[0].Cells[static_cast<size_t>(row)] =
        std::string(static_cast<size_t>(length), 'W');
    return WithRepeatedCode(doc, 1, repeats);
}

} // namespace

TMatchDocument PlainFilesLog(int32_t n)
{
    TMatchDocument doc;
    doc.FileLabelKind = 2;
    doc.KindLetters = {'G', 'M', 'S', 'K'};
    doc.UpdateIntraKinds();
    doc.HeadText = "Abgleich";
    doc.Columns = {kIdent, kName, kNumber, kGross};
    doc.FileCount = n;
    doc.Entries.resize(static_cast<size_t>(n) + 1);
    for (int32_t i = 0; i < n; ++i) {
        doc.Entries[i].Ident = "F" + std::to_string(i + 1);
        doc.Entries[i].Name = "d" + std::to_string(i + 1);
        doc.Entries[i].Gross = 100 + i;
    }
    doc.Ratings = {0};
    return doc;
}

std::vector<HostileLog> HostileLogs()
{
    return {
        {"repeated-summed-column", true,
         [] {
             TMatchDocument doc = PlainFilesLog(1000);
             doc.AddedColumns = {
                 AddedColumn(1000, "Kosten", [](int32_t i) { return std::to_string(i); })};
             return WithRepeatedCode(doc, 1, 1000000);
         }},
        {"repeated-huge-cell", true, [] { return OneHugeCell(10000, 300000, 2); }},
        {"repeated-huge-cell-3mb", true, [] { return OneHugeCell(700000, 300000, 2); }},
        {"repeated-huge-title", true, [] { return OneHugeCell(10000, 300000, 0); }},
        {"repeated-file-names", true,
         [] {
             TMatchDocument doc = PlainFilesLog(1000);
             for (TMatchDocFileEntry& e : doc.Entries)
                 e.Name.assign(4000, 'n');
             return WithRepeatedCode(doc, kName, 1000000);
         }},
        {"repeated-system-column", true,
         [] { return WithRepeatedCode(PlainFilesLog(1000), kGross, 1990000); }},
        {"many-added-columns", false,
         [] {
             TMatchDocument doc = PlainFilesLog(1000);
             for (int32_t k = 1; k <= 1350; ++k) {
                 doc.AddedColumns.push_back(
                     AddedColumn(1000, "S" + std::to_string(k),
                                 [k](int32_t i) { return std::to_string((i * k) % 97); }));
                 doc.Columns.push_back(k);
             }
             return doc;
         }},
        {"distinct-huge-cells", false,
         [] {
             TMatchDocument doc = PlainFilesLog(1);
             for (int32_t k = 1; k <= 30; ++k) {
                 doc.AddedColumns.push_back(
                     AddedColumn(1, "Notiz", [](int32_t) { return std::string(300000, 'W'); }));
                 doc.Columns.push_back(k);
             }
             return doc;
         }},
        {"huge-info-line", true,
         [] {
             TMatchDocument doc = PlainFilesLog(3);
             doc.InfoLines = {std::string(10000000, 'i')};
             return doc;
         }},
        {"long-info-lines", true,
         [] {
             TMatchDocument doc = PlainFilesLog(3);
             doc.InfoLines.assign(150, std::string(65000, 'i'));
             return doc;
         }},
        {"long-file-names", false,
         [] {
             TMatchDocument doc = PlainFilesLog(150);
             for (TMatchDocFileEntry& e : doc.Entries)
                 e.Name.assign(65000, 'n');
             return doc;
         }},
        {"many-info-lines", true,
         [] {
             TMatchDocument doc = PlainFilesLog(3);
             doc.InfoLines.assign(2500000, std::string());
             return doc;
         }},
        {"huge-title-texts", false,
         [] {
             TMatchDocument doc = PlainFilesLog(3);
             doc.HeadText.assign(2500000, 'H');
             doc.CustomerText.assign(2500000, 'C');
             doc.TaskText.assign(2500000, 'T');
             doc.PercentText.assign(2500000, '9');
             return doc;
         }},
        {"huge-file-name", false,
         [] {
             TMatchDocument doc = PlainFilesLog(2);
             doc.Entries[0].Name.assign(5000000, 'n');
             doc.Entries[1].Ident.assign(5000000, 'i');
             return doc;
         }},
        {"many-files", false, [] { return PlainFilesLog(2200); }},
        {"huge-matrix", false,
         [] {
             TMatchDocument doc = PlainFilesLog(1575);
             doc.MatrixKind = 1;
             doc.MatrixTriangular = false;
             doc.Matrix.assign(1575, TVectorData(1575, 7));
             return doc;
         }},
        // At the bounds of what is shown, with as much work per cell as the columns allow.
        {"bound-columns", false,
         [] {
             TMatchDocument doc = PlainFilesLog(1);
             for (int32_t k = 1; k <= 100; ++k)
                 doc.AddedColumns.push_back(AddedColumn(
                     1, "S" + std::to_string(k), [k](int32_t) { return std::to_string(k); }));
             doc.Columns.clear();
             for (int32_t c = 0; c < 10000; ++c)
                 doc.Columns.push_back(c % 2 ? -1 - (c / 2) % 15 : 1 + (c / 2) % 100);
             return doc;
         }},
        {"bound-cells", false,
         [] {
             TMatchDocument doc = PlainFilesLog(996);
             doc.AddedColumns = {
                 AddedColumn(996, "Kosten", [](int32_t i) { return std::to_string(i); })};
             doc.Columns.clear();
             for (int32_t c = 0; c < 10000; ++c)
                 doc.Columns.push_back(c % 16 == 15 ? 1 : -1 - c % 16);
             return doc;
         }},
        {"bound-table-text", false,
         [] {
             TMatchDocument doc = OneHugeCell(1023, 65536, 2);
             return doc;
         }},
        {"bound-info-text", false,
         [] {
             TMatchDocument doc = PlainFilesLog(3);
             doc.InfoLines.assign(1023, std::string(4096, 'i'));
             return doc;
         }},
        {"bound-info-lines", false,
         [] {
             TMatchDocument doc = PlainFilesLog(3);
             doc.InfoLines.assign(50000, std::string(80, 'i'));
             return doc;
         }},
        {"many-ratings", false,
         [] {
             TMatchDocument doc = PlainFilesLog(3);
             doc.Ratings.assign(2500000, 5);
             return doc;
         }},
        // What the printed report cuts, breaks or repeats on every strip.
        {"long-names-many-files", false,
         [] {
             TMatchDocument doc = GeneratedLog(2000);
             for (int32_t i = 0; i < doc.FileCount; ++i) {
                 std::string& name = doc.Entries[i].Name;
                 name = "/daten/kunden/" + std::to_string(i + 1) + "/" + name;
                 name.resize(260, 'x');
             }
             return doc;
         }},
        {"zero-width-name", false,
         [] {
             // Soft hyphens, which print as nothing.
             TMatchDocument doc = PlainFilesLog(2);
             doc.Entries[0].Name.assign(5000000, '\xAD');
             return doc;
         }},
        {"huge-title-words", false,
         [] {
             TMatchDocument doc = PlainFilesLog(3);
             for (std::string* text : {&doc.CustomerText, &doc.TaskText, &doc.PercentText}) {
                 while (text->size() < 2500000)
                     *text += "Tour AV Wolke Tee " + std::to_string(text->size()) + " ";
             }
             return doc;
         }},
        {"huge-column-title", false,
         [] {
             TMatchDocument doc = PlainFilesLog(3);
             doc.AddedColumns = {AddedColumn(3, std::string(5000000, 'T'),
                                             [](int32_t i) { return std::to_string(i); })};
             doc.Columns.push_back(1);
             return doc;
         }},
    };
}
