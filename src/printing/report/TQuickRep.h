#pragma once

#include "TQRBand.h"
#include "TQRBookmark.h"
#include "TQRPage.h"
#include "TQRPrinterSettings.h"

#include <any>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class TQRCanvas;
class TQROutput;
class TQRPass;

// A banded report: at most one band of each kind, page setup, printer settings and the events
// through which its owner feeds it row by row.
//
// One generation pass (Prepare or Print) runs:
//   BeforePrint(printReport): false ends the pass with no page;
//   start the first page; then, row by row: OnNeedData(moreData), which may call NewPage;
//   on false the page ends and the pass stops; otherwise the detail band prints, on a new
//   page first when it does not fit above the page footer (also as a page's first band).
// Starting a page fires OnStartPage and prints the page header; the column header prints
// together with the page's first detail band, so it never ends a page. Ending a page prints
// the page footer at the bottom of the printable area and fires OnEndPage. No band prints over
// the page footer: one taller than the room left even on a page begun for it is cut there.
//
// Both passes apply the page setup and the printer settings to the device and measure on it,
// so a layout computed in the preparing pass holds in the printing pass. Pages are painted as
// they are generated; nothing of a finished page is kept. An exception from an event ends the
// pass (a print job on a printer is aborted) and propagates to the caller.
class TQuickRep {
public:
    using FlagEvent = std::function<void(TQuickRep& report, bool& flag)>;
    using PageEvent = std::function<void(TQuickRep& report)>;

    TQuickRep();
    ~TQuickRep();
    TQuickRep(const TQuickRep&) = delete;
    TQuickRep& operator=(const TQuickRep&) = delete;

    TQRPage& Page() { return m_page; }
    const TQRPage& Page() const { return m_page; }
    TQRPrinterSettings& PrinterSettings() { return m_printerSettings; }
    const TQRPrinterSettings& PrinterSettings() const { return m_printerSettings; }
    // The program that makes the report, named as the creator of a PDF file it opens.
    const QString& Creator() const { return m_creator; }
    void SetCreator(const QString& creator) { m_creator = creator; }

    // Creates the band of that kind; a report has at most one of each (std::logic_error).
    TQRBand& AddBand(TQRBandType type);
    // The band of that kind, or null.
    TQRBand* Band(TQRBandType type) const;
    const std::vector<std::unique_ptr<TQRBand>>& Bands() const { return m_bands; }

    FlagEvent BeforePrint;
    PageEvent OnStartPage;
    PageEvent OnEndPage;
    // Without a handler the report has no rows.
    FlagEvent OnNeedData;
    // After each page of a pass has ended (after OnEndPage), in the preparing pass (printing
    // false) as in the printing pass: for whoever runs the report to show progress, not for the
    // report's own layout. An exception from it ends the pass like one from any event.
    std::function<void(TQuickRep& report, bool printing)> OnPageDone;

    // What the owner keeps for its events besides the controls: taken into every bookmark and
    // given back when a pass goes on from one. Unset, bookmarks hold the bands and controls
    // only, which is enough for an owner that keeps nothing.
    std::function<std::any()> SaveOwnerState;
    std::function<void(const std::any& state)> RestoreOwnerState;

    // The report as it stands, outside a pass: a pass from it starts from the beginning with
    // the bands, controls and owner as they are now, whatever passes ran since.
    std::shared_ptr<const TQRBookmark> Bookmark() const;

    // Every pass applies the printer settings to a device that is a print job (TQRPrintJob); a
    // printer that is none is refused (std::logic_error).
    //
    // A generation pass that outputs nothing; the device only lends its metrics.
    void Prepare(QPagedPaintDevice& device);
    // A generation pass painted on the device as one print job named by the title.
    void Print(QPagedPaintDevice& device);
    // A generation pass painted into an output that may already hold other reports: it starts
    // on a new page there, and the output stays open for more. The job settings (printer,
    // copies, duplex, bin, title) apply only when this report opens the output.
    void Print(TQROutput& output);
    // A generation pass as the run says: from a bookmark, outputting one page, ending early,
    // taking bookmarks on the way (TQRRun). Without an output it only measures on the device,
    // like Prepare. A pass that ends early leaves the report's owner wherever its events were;
    // a pass from a bookmark puts everything back first.
    TQRRunResult Run(QPagedPaintDevice& device, TQROutput* output, const TQRRun& how);

    // Forced page break: ends the current page and starts the next at once. Only while a page
    // is open and outside OnStartPage and OnEndPage (std::logic_error otherwise).
    void NewPage();

    // The current page, from 1, during a pass; the number of pages of the last pass after it.
    int PageNumber() const;
    // The canvas of the running pass, or null outside a pass.
    const TQRCanvas* Canvas() const;

    // The driver's bin code that a bin choice of the printer settings stands for; -1 (the
    // default) lets the choice go to the printer as its paper source. A code is given to the
    // print job when it starts.
    int BinCode(TQRPaperSource choice) const;
    void SetBinCode(TQRPaperSource choice, int code);

    // The print dialog: printer, copies, page range and orientation, written into the printer
    // settings; true when confirmed. Set by the program (the engine has no widgets); without
    // one there is no dialog and nothing is confirmed.
    static std::function<bool(TQuickRep& report)> PrintDialog;
    bool PrinterSetup();

private:
    friend class TQRPass;
    // A bookmark of the report without a place in a pass, and putting one back.
    std::shared_ptr<TQRBookmark> bookmark() const;
    void restore(const TQRBookmark& bookmark);
    void applySettings(QPagedPaintDevice& device, TQROutput* output) const;
    void applyJobSettings(QPagedPaintDevice& device, const QString& title) const;
    TQRRunResult run(QPagedPaintDevice& device, TQROutput* output, const TQRRun& how = {});

    TQRPage m_page;
    TQRPrinterSettings m_printerSettings;
    QString m_creator;
    std::vector<std::unique_ptr<TQRBand>> m_bands;
    std::unique_ptr<TQRPass> m_pass;
    int m_pageCount = 0;
    std::map<TQRPaperSource, int> m_binCodes;
};
