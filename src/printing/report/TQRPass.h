#pragma once

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
    TQRPass(TQuickRep& report, QPagedPaintDevice& device, TQROutput* output);
    ~TQRPass();
    TQRPass(const TQRPass&) = delete;
    TQRPass& operator=(const TQRPass&) = delete;

    void Run();
    void NewPage();
    int PageNumber() const { return m_pageNumber; }
    TQRCanvas& Canvas() { return m_canvas; }

private:
    void startPage();
    void endPage();
    void printDetail(const TQRBand& detail);
    // Prints the band at the current position and moves below it.
    void printBand(const TQRBand* band);
    void openDevicePage();
    static bool prints(const TQRBand* band);

    TQuickRep& m_report;
    QPagedPaintDevice& m_device;
    TQROutput* m_output;
    TQRCanvas m_canvas;

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
