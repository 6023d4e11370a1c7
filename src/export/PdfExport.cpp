#include "PdfExport.h"

#include "AtomicFile.h"
#include "Errors.h"
#include "ExportCommand.h"
#include "TPrintPlan.h"
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
#include <vector>

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

} // namespace

int ExportPdf(const ExportCommand& command, const TMatchDocument& doc, std::ostream& err,
              bool progress)
{
    const TReportSource source(doc);
    TPrintSetupState state(1);
    state.TitleAndTable = !command.NoTable;
    state.Matrix = !command.NoMatrix;
    state.Ratings = !command.NoRatings;
    state.Singles = command.Singles;

    TPrintPlan plan(source, state);
    const std::vector<TPrintPart> parts = plan.Parts();
    if (parts.empty()) {
        err << "Die Auswahl enth\xC3\xA4lt nichts, was von diesem Protokoll zu drucken "
               "w\xC3\xA4re.\n";
        return 2;
    }

    auto print = [&](TQROutput& output) {
        std::optional<TTerminalProgress> line;
        if (progress)
            line.emplace(err);
        TPrintProgress* shown = line ? &*line : nullptr;
        // The file holds every part: it is not titled after the first.
        output.SetTitle(plan.Title());
        const int count = int(parts.size());
        int part = 0;
        for (const TPrintPart& each : parts) {
            ++part;
            plan.PrintPart(output, each, [&](TnewPrinterForm& form) {
                TPrintProgress::Follow(shown, form.QuickRep1, part, count);
            });
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
        // The writer only lays out.
        TPrintPlan::DirectPdfElseQt([&](bool direct) {
            if (!direct)
                file->Restart();
            QPdfWriter layout(QString{});
            if (!direct) {
                TQROutput output(layout, *file);
                print(output);
                return;
            }
            TQRPdfDocument pdf(*file);
            TQROutput output(layout, pdf);
            print(output);
        });
        file->Commit();
    } catch (const std::exception& e) {
        file->Discard();
        err << ErrorMessage(e) << '\n';
        return 1;
    }
    return 0;
}
