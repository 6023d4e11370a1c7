#pragma once

#include "TQRBookmark.h"
#include "TQRCanvas.h"

class QPagedPaintDevice;
class TQRBand;
class TQROutput;
class TQuickRep;

// One generation pass of a report, in the order its header describes. Lives only while the
// pass runs; the report reaches it for NewPage, the page number and the canvas.
class TQRPass {
public:
    // Without an output the pass only measures on the device.
    TQRPass(TQuickRep& report, QPagedPaintDevice& device, TQROutput* output,
            const TQRRun& how = {});
    ~TQRPass();
    TQRPass(const TQRPass&) = delete;
    TQRPass& operator=(const TQRPass&) = delete;

    void Run();
    void NewPage();
    int PageNumber() const { return m_pageNumber; }
    // The pass ran to the report's end rather than to a stop of its TQRRun.
    bool Finished() const { return m_finished; }
    TQRCanvas& Canvas() { return m_canvas; }

private:
    void startPage();
    void endPage();
    void printDetail(const TQRBand& detail);
    // Prints the band at the current position and moves below it.
    void printBand(const TQRBand* band);
    void openDevicePage();
    void resume(const TQRBookmark& bookmark);
    // True when the pass ends at this row.
    bool atRow();
    static bool prints(const TQRBand* band);

    TQuickRep& m_report;
    QPagedPaintDevice& m_device;
    TQROutput* m_output;
    const TQRRun& m_how;
    TQRCanvas m_canvas;
    bool m_finished = false;
    // The last page is ending: the report ends with it, whatever page the run stops after.
    bool m_ending = false;

    int m_pageNumber = 0;
    bool m_pageOpen = false;
    bool m_inPageEvent = false;
    // Report units from the top of the printable area.
    double m_y = 0;
    double m_footerTop = 0;
    int m_detailsOnPage = 0;
    // The page was begun because the detail band about to print did not fit on the one before.
    bool m_pageBegunForDetail = false;
};
