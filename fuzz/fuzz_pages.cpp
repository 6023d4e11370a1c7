// Pushes every log the reader accepts through what is made of it: the page data, the JSON and
// CSV exports and the printed report as a PDF, all through the exporter's command line. A log
// that loads must export; a failure of any output, a crash or undefined behaviour is a finding.
// Logs above a small size are left to the reader's target, so that every run stays short.
#include "Errors.h"
#include "ExportCommand.h"
#include "FuzzInput.h"
#include "TFilesTable.h"
#include "TMatchDocument.h"
#include "TMatrixTable.h"
#include "TRatingsTable.h"

#include <QByteArray>
#include <QGuiApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

namespace {

bool SmallEnough(const TMatchDocument& doc)
{
    size_t text = doc.CustomerText.size() + doc.HeadText.size() + doc.TaskText.size() +
                  doc.PercentText.size();
    for (const std::string& line : doc.InfoLines)
        text += line.size();
    for (const TMatchDocFileEntry& entry : doc.Entries)
        text += entry.Ident.size() + entry.Name.size();
    for (const TMatchDocAddColEntry& column : doc.AddedColumns) {
        for (const std::string& cell : column.Cells)
            text += cell.size();
    }
    return doc.FileCount <= 12 && doc.Columns.size() <= 40 && doc.InfoLines.size() <= 20 &&
           doc.Ratings.size() <= 40 && text <= 4096;
}

// The page data the window and the report build, asked for every cell.
void ReadPages(const TMatchDocument& doc)
{
    TFilesTable files(doc);
    const TTextWidth width = [](const std::string& text) { return static_cast<int>(text.size()); };
    files.ColumnWidths(width, 7);
    for (int32_t r = 0; r < files.RowCount(); ++r) {
        for (int32_t c = 0; c < files.ColCount(); ++c) {
            files.GridCellText(c, r);
            files.CellColour(c, r);
        }
    }
    files.BuildLegend();
    const TMatrixTable matrix(doc);
    for (int32_t r = 0; matrix.Visible() && r < matrix.RowCount(); ++r) {
        for (int32_t c = 0; c < matrix.ColCount(); ++c)
            matrix.CellText(c, r);
    }
    const TRatingsTable ratings(doc);
    for (int32_t r = 0; ratings.Visible() && r < ratings.RowCount(); ++r) {
        for (int32_t c = 0; c < TRatingsTable::ColCount; ++c)
            ratings.CellText(c, r);
    }
}

void Export(const std::vector<std::string>& args, bool mayChooseNothing)
{
    std::ostringstream out, err;
    const int code = RunExport(args, out, err);
    if (code == 0 || (mayChooseNothing && code == 2))
        return;
    std::fprintf(stderr, "%s %s failed (%d): %s\n", args.front().c_str(), args[1].c_str(), code,
                 err.str().c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The report's fonts and PDF writer need a GUI application; one for the whole run, never
    // destroyed: at exit Qt's own statics may already be gone.
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    static int argc = 1;
    static char name[] = "fuzz_pages";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string log = ScratchPath(".mpr");
    static const std::string pdf = ScratchPath(".pdf");
    WriteFuzzLog(log, data, size);
    TMatchDocument doc;
    try {
        doc.LoadFromFile(log);
    } catch (const Exception&) {
        return 0;
    }
    if (!SmallEnough(doc))
        return 0;
    ReadPages(doc);
    const uint8_t choice = size > 1 ? data[size - 1] : 0;
    const std::string language = choice & 1 ? "en" : "de";
    Export({"--lang", language, "--json", log}, false);
    for (const char* grid : {"files", "matrix", "ratings"})
        Export({"--lang", language, "--csv", grid, log}, false);
    std::vector<std::string> print = {"--lang", language, "--pdf", pdf};
    if (choice & 2)
        print.push_back("--singles");
    if (choice & 4)
        print.push_back("--no-table");
    if (choice & 8)
        print.push_back("--no-matrix");
    if (choice & 16)
        print.push_back("--no-ratings");
    print.push_back(log);
    Export(print, true);
    return 0;
}
