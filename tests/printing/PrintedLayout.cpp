#include "PrintedLayout.h"

#include "MprWriter.h"
#include "Samples.h"

#include "QtText.h"
#include "TFilesTable.h"
#include "TPrintSetupState.h"
#include "TQROutput.h"
#include "TQRPdfDocument.h"
#include "TReportMeasures.h"
#include "TReportSource.h"
#include "TnewPrinterForm.h"

#include <QPdfWriter>

#include <functional>
#include <memory>

namespace {

std::string Repeat(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

std::vector<std::string> InfoLines(TDescription description)
{
    const auto lines = [](int count, const std::string& tail) {
        std::vector<std::string> out;
        for (int i = 0; i < count; ++i)
            out.push_back(InfoToken(i).toStdString() + tail);
        return out;
    };
    switch (description) {
    case TDescription::Short:
        return lines(3, " kurze Zeile");
    case TDescription::Long:
        return lines(60, " eine Zeile der Beschreibung");
    case TDescription::Wrapped:
        return lines(14, Repeat(" Wort", 90));
    case TDescription::NoBlanks:
        return lines(5, Repeat("X", 330) + "/pfad/ohne/leerzeichen" + Repeat("0", 200));
    case TDescription::Huge:
        return lines(170, " Zeile");
    }
    return {};
}

// An added column whose cells (file rows) come from cell, titles "Spalte", tag.
TMatchDocAddColEntry TextColumn(int files, const std::string& tag,
                                const std::function<std::string(int file)>& cell)
{
    TMatchDocAddColEntry column;
    column.LeftAligned = 1;
    column.Cells = {"Spalte", tag};
    for (int i = 1; i <= files; ++i)
        column.Cells.push_back(cell(i));
    column.Cells.push_back("");
    column.Cells.push_back("");
    return column;
}

} // namespace

QString FileToken(int file) { return QStringLiteral("R%1x").arg(file); }

QString InfoToken(int line) { return QStringLiteral("Info%1:").arg(line); }

TMatchDocument ShapedLog(const TLogShape& shape)
{
    TMatchDocument doc = GeneratedLog(shape.Files, 1);
    doc.FileLabelKind = shape.FileLabelKind;
    for (int i = 0; i < shape.Files; ++i) {
        if (shape.LongNames)
            doc.Entries[i].Name += "_" + Repeat("langername", 30);
    }
    for (const std::string& line : InfoLines(shape.Description))
        doc.InfoLines.push_back(line);
    if (shape.LongHead)
        doc.HeadText = "Kopf " + Repeat("einer sehr langen Kopfzeile ", 14);
    if (shape.HugeTexts) {
        doc.HeadText = "Kopf" + std::string(200000, 'H');
        doc.CustomerText = "Kunde" + std::string(40000, 'C');
        doc.TaskText = "Auftrag" + std::string(40000, 'T');
        // Soft hyphens print as nothing: more of them than a line holds before the letters.
        for (TMatchDocFileEntry& entry : doc.Entries)
            entry.Name += std::string(70000, '\xAD') + std::string(30000, 'n');
    }

    TColumnMap columns;
    if (ShowsIdentColumn(shape.FileLabelKind))
        columns.push_back(-12);
    if (ShowsNameColumn(shape.FileLabelKind))
        columns.push_back(-13);
    columns.push_back(-11);
    if (shape.CountingSecond)
        columns.push_back(-2);
    if (shape.Strips == TStrips::One)
        columns.insert(columns.end(), {-15, -2, -5});
    else
        columns.insert(columns.end(), {-15, -14, -2, -3, -4, -5, -6, -7, -8, -9, -10});
    columns.push_back(1); // the generated costs, with a sum
    const int wide = shape.Strips == TStrips::One ? 0 : shape.Strips == TStrips::Two ? 3 : 14;
    for (int k = 0; k < wide; ++k) {
        const std::string letters(26, char('a' + k));
        doc.AddedColumns.push_back(TextColumn(
            shape.Files, "breit", [&](int file) { return letters + std::to_string(file); }));
        columns.push_back(static_cast<int32_t>(doc.AddedColumns.size()));
    }
    if (shape.WideColumn) {
        doc.AddedColumns.push_back(TextColumn(shape.Files, "riesig", [](int file) {
            return Repeat("W", 260) + std::to_string(file);
        }));
        columns.push_back(static_cast<int32_t>(doc.AddedColumns.size()));
    }
    doc.AddedColumns.push_back(
        TextColumn(shape.Files, "Marke", [](int file) { return FileToken(file).toStdString(); }));
    columns.push_back(static_cast<int32_t>(doc.AddedColumns.size()));
    doc.Columns = columns;
    return doc;
}

TPrintedLog PrintShape(const TLogShape& shape, PdfDevice device, const std::string& dir)
{
    const std::string log = dir + "/log.mpr";
    WriteFileBytes(log, MprFile(ShapedLog(shape)));
    TPrintedLog printed;
    printed.Document.LoadFromFile(log);
    printed.Path = QString::fromStdString(dir + "/log.pdf");

    const TReportSource source(printed.Document);
    TReportMeasures measures(source);
    TPrintSetupState state(1);
    std::vector<int> parts;
    if (shape.WholeLog)
        parts.push_back(0);
    parts.insert(parts.end(), shape.Singles.begin(), shape.Singles.end());
    {
        QPdfWriter writer(printed.Path);
        TQRPdfDocument pdf(printed.Path);
        auto output = device == PdfDevice::Direct ? std::make_unique<TQROutput>(writer, pdf)
                                                  : std::make_unique<TQROutput>(writer);
        int page = 1;
        for (const int number : parts) {
            TnewPrinterForm form(measures, *output);
            form.PrintDocument(printed.Document, state, number,
                               FromCp1252(printed.Document.HeadText));
            const int pages = form.QuickRep1.PageNumber();
            printed.Parts.push_back({number, page, pages, form.Layout(ReportSection::File),
                                     form.Layout(ReportSection::Matrix), form.UsableWidth(),
                                     form.CharWidth()});
            page += pages;
        }
        output->Finish();
    }
    printed.Words = PdfFile(printed.Path).Words();
    return printed;
}

std::vector<PdfFile::Word> WordsOnPage(const std::vector<PdfFile::Word>& words, int page)
{
    std::vector<PdfFile::Word> result;
    for (const PdfFile::Word& word : words) {
        if (word.page == page)
            result.push_back(word);
    }
    return result;
}
