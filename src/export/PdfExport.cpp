#include "PdfExport.h"

#include "AtomicFile.h"
#include "Cp1252.h"
#include "ExportCommand.h"
#include "TPrintProgress.h"
#include "TPrintSetupState.h"
#include "TQROutput.h"
#include "TQRPdfDocument.h"
#include "TReportSource.h"
#include "TnewPrinterForm.h"

#include <QPdfWriter>

#include <chrono>
#include <memory>
#include <optional>
#include <ostream>

namespace {

// The progress as one terminal line, rewritten in place at most every tenth of a second and
// at every new part.
class TTerminalProgress : public TPrintProgress {
public:
    explicit TTerminalProgress(std::ostream& err)
        : m_err(err)
    {
    }
    ~TTerminalProgress() override
    {
        if (m_shown)
            m_err << "\r\x1b[K" << std::flush;
    }
    bool PageDone(int part, int parts, int page, int pages, bool printing) override
    {
        const auto now = std::chrono::steady_clock::now();
        if (part == m_part && now - m_last < std::chrono::milliseconds(100))
            return true;
        m_part = part;
        m_last = now;
        m_shown = true;
        m_err << '\r' << Text(part, parts, page, pages, printing).toStdString() << "\x1b[K"
              << std::flush;
        return true;
    }

private:
    std::ostream& m_err;
    int m_part = 0;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_last;
};

void PrintPart(const TReportSource& window, TQROutput& output, const TPrintSetupState& state,
               int singleLogNumber, TPrintProgress* progress, int part, int parts)
{
    const TMatchDocument& doc = window.Document();
    TnewPrinterForm form(window, output);
    TPrintProgress::Follow(progress, form.QuickRep1, part, parts);
    form.PrintDocument(doc, state, singleLogNumber,
                       QString::fromStdString(Cp1252ToUtf8(doc.HeadText)), window.SumPanelsEnabled);
}

} // namespace

int ExportPdf(const ExportCommand& command, const TMatchDocument& doc, std::ostream& err,
              bool progress)
{
    const TReportSource window(doc);
    TPrintSetupState state(1);
    state.TitleAndTable = !command.NoTable;
    state.Matrix = !command.NoMatrix;
    state.Ratings = !command.NoRatings;
    state.Singles = command.Singles;

    const bool wholeLog = state.TitleAndTable || (state.Matrix && window.FileCount > 1) ||
                          (state.Ratings && window.RatingsPageVisible);
    const bool singles = state.Singles && window.FilesGrid().RowCount() > 5;
    if (!wholeLog && !singles) {
        err << "Die Auswahl enth\xC3\xA4lt nichts, was von diesem Protokoll zu drucken "
               "w\xC3\xA4re.\n";
        return 2;
    }

    const int parts = (wholeLog ? 1 : 0) + (singles ? window.FileCount : 0);
    auto print = [&](TQROutput& output) {
        std::optional<TTerminalProgress> line;
        if (progress)
            line.emplace(err);
        TPrintProgress* shown = line ? &*line : nullptr;
        int part = 0;
        if (wholeLog)
            PrintPart(window, output, state, doc.SingleNumber, shown, ++part, parts);
        if (singles) {
            for (int i = 0; i < window.FileCount; ++i)
                PrintPart(window, output, state, i + 1, shown, ++part, parts);
        }
        output.Finish();
    };
    // Before any page is laid out: an output that may not be written, or that is the log
    // itself, ends the export at once.
    std::unique_ptr<AtomicFile> file;
    try {
        file =
            std::make_unique<AtomicFile>(command.PdfPath, std::vector<std::string>{doc.FileName});
    } catch (const EOutputError& e) {
        err << e.what() << '\n';
        return e.WhatCause() == EOutputError::Cause::IsInput ? 2 : 1;
    }
    try {
        // The PDF is written directly; the writer only lays out. A font or text the direct
        // output cannot take goes through Qt's PDF output instead, which writes the same pages.
        bool direct = true;
        try {
            QPdfWriter layout(QString{});
            TQRPdfDocument pdf(*file);
            TQROutput output(layout, pdf);
            print(output);
        } catch (const EPdfUnsupported&) {
            direct = false;
        }
        if (!direct) {
            file->Restart();
            QPdfWriter layout(QString{});
            TQROutput output(layout, *file);
            print(output);
        }
        file->Commit();
    } catch (const std::exception& e) {
        file->Discard();
        err << e.what() << '\n';
        return 1;
    }
    return 0;
}
