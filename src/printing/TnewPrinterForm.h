#pragma once

#include "ReportNumbers.h"
#include "SectionLayout.h"
#include "TQuickRep.h"

#include <QString>
#include <QStringList>

#include <any>
#include <array>
#include <memory>
#include <vector>

class TMatchDocument;
class TPrintSetter;
class TPrintSetupState;
class TQRBand;
class TQRLabel;
class TQRMemo;
class TQROutput;
class TQRPrintable;
class TQRShape;
class TReportGrid;
class TReportMeasures;
class TReportSource;
class TStripLayout;

// The printed statistics log of one part (the whole log or one single log): a report whose
// controls are created at print time from the window's grids, one set per grid column, with
// wide tables split into strips that repeat the fixed columns. PrintDocument builds and prints
// it into the output; a form prints once and is then released.
//
// Nothing prints outside the printable area or over another text: a band that does not fit
// moves to the next page, a description block longer than a page goes on over the next pages,
// labels are cut to their room, and columns are kept to the page width (fixed columns leave
// every strip room for its data).
//
// Errors of a generation pass (a section name asked for the idle state, a device that fails)
// propagate out of PrintDocument.
class TnewPrinterForm {
public:
    // source and output must outlive the form.
    TnewPrinterForm(const TReportSource& source, TQROutput& output);
    // A form of a print command whose parts share their measures (and their source).
    TnewPrinterForm(TReportMeasures& measures, TQROutput& output);
    ~TnewPrinterForm();
    TnewPrinterForm(const TnewPrinterForm&) = delete;
    TnewPrinterForm& operator=(const TnewPrinterForm&) = delete;

    // Builds the controls of every section the choices select and runs both passes: one to lay
    // out, one into the output. singleLogNumber is 0 for the whole log.
    void PrintDocument(const TMatchDocument& document, const TPrintSetupState& setupState,
                       int singleLogNumber, const QString& headText);
    // PrintDocument without the passes: the report is ready for its setter's passes, which is
    // how a preview generates the pages it shows.
    void BuildDocument(const TMatchDocument& document, const TPrintSetupState& setupState,
                       int singleLogNumber, const QString& headText);

    TQuickRep QuickRep1;
    TQRBand* TitleBand = nullptr;
    TQRBand* ColumnBand = nullptr;
    TQRBand* DetailBand = nullptr;
    TQRBand* FootBand = nullptr;
    TQRLabel* TaskLabel = nullptr;
    TQRLabel* TitleLabel = nullptr;
    TQRLabel* SingleNrLabel = nullptr;
    TQRShape* TitleDivider = nullptr;
    TQRMemo* DescriptionMemo = nullptr;
    TQRShape* ColumnLine = nullptr;
    TQRShape* ResultSeparator = nullptr;
    TQRShape* BottomDivider = nullptr;
    TQRLabel* VersionLabel = nullptr;
    TQRLabel* PageLabel = nullptr;
    // Created by PrintDocument.
    TQRLabel* SummaryLabel = nullptr;

    TPrintSetter& Setter() const { return *m_setter; }

    // A unique part of the component names of a section's controls ("File12"); throws
    // std::runtime_error with the German message for Idle and for an undefined section.
    static QString SectionName(ReportSection section, int column);
    // Sets each value that is zero or more, keeps each negative one.
    static void PlaceControl(TQRPrintable& control, double left, double top, double width,
                             double height);

    // The section's layout (strips, column widths), for whoever checks a printed report.
    const SectionLayout& Layout(ReportSection section) const;
    double UsableWidth() const { return m_usableWidth; }
    double CharWidth() const { return m_charWidth; }

private:
    void FormCreate();
    void CreateTitleBand();
    void CreateFootBand();

    void NextSection();
    void BuildHeaderControls();
    void BuildDetailControls();
    void HideSectionControls(SectionLayout& layout, int colCount);
    void LayoutSection();
    void SplitIntoStrips(SectionLayout& layout, TStripLayout& strips);
    void SizeControls(SectionLayout& layout);
    void PlaceStrip();
    void PlaceColumn(SectionLayout& layout, int c, double x);
    void HideColumn(SectionLayout& layout, int c);
    // Names a column for the shared measures: the files table by its column code (repeated codes
    // have the same cells), other tables by position.
    QString ColumnKey(int c) const;
    // The printed text of a cell of the current section's grid.
    QString ReportCellText(int c, int r) const;
    TNumberFormat ColumnNumberFormat(int c) const;
    TNumberFormat DetectNumberFormat(int c) const;
    std::uint8_t ColumnAlignment(int c) const;
    void AlignToRightEdge(TQRLabel& label);
    void SetLinePens();

    void QuickRep1BeforePrint(TQuickRep& report, bool& printReport);
    void QuickRep1StartPage(TQuickRep& report);
    void QuickRep1EndPage(TQuickRep& report);
    void FilesNeedData(TQuickRep& report, bool& moreData);
    void FillDetailRow();
    void FillDetailCell(int c, bool singleLogRowPending);
    void ResetMergedCaption();
    // The leading columns the merged sum caption covers; 0 without merged sums.
    int CaptionColumns() const;
    // The column whose sum-row cells are measured as what is left of the sum captions.
    int CaptionMeasureColumn() const;
    void FinishRun();
    void FillDescription();
    void PlaceDescription();
    bool DescriptionPending() const;

    bool SingleLogSelected() const;
    bool SingleLogRowPending() const;
    bool ColumnVisible(int c) const;
    // The columns of the current strip, fixed ones first.
    const std::vector<int>& VisibleColumns();
    SectionLayout& CurrentLayout() { return m_layouts[static_cast<int>(m_section)]; }
    // What the events carry from row to row, for the report's bookmarks: a pass that goes on
    // from one goes on with the form as it was there.
    struct TPassState;
    std::any SavePassState() const;
    void RestorePassState(const std::any& state);

    std::unique_ptr<TReportMeasures> m_ownMeasures;
    TReportMeasures& m_measures;
    const TReportSource& m_window;
    std::unique_ptr<TPrintSetter> m_setter;

    ReportSection m_section = ReportSection::Idle;
    const TReportGrid* m_grid = nullptr;
    int m_colCount = 0;
    int m_rowCount = 0;
    int m_fixedCols = 0;
    int m_fixedRows = 0;
    int m_currentRow = 0;
    int m_nextRow = 0;
    int m_firstDataRow = 0;
    int m_currentStrip = 0;
    int m_stripCounter = 0;
    int m_pageInStrip = 0;
    int m_trailerStep = -1;
    int m_nextTrailerStep = -1;
    bool m_metricsDone = false;
    const TMatchDocument* m_document = nullptr;
    const TPrintSetupState* m_setupState = nullptr;
    int m_singleLogNumber = 0;
    bool m_building = false;
    bool m_firstPagePending = false;

    double m_usableWidth = 0; // W
    double m_charWidth = 0;   // C
    double m_lineHeight = 0;  // L
    std::array<SectionLayout, 4> m_layouts;
    // Blank lines in place of the description on later strips: as many as the description had
    // on the page where the table began.
    int m_descriptionLines = 0;
    // The description's lines as set, those of them already broken into printed lines, and the
    // printed lines still to come on the following pages.
    QStringList m_descriptionSource;
    qsizetype m_descriptionNext = 0;
    QStringList m_descriptionRest;
    bool m_inPageStart = false;
    int m_captionColumns = 0;
    TNumberSeparators m_separators;
    // Number formats of the files table's columns, by column.
    mutable std::vector<TNumberFormat> m_fileFormats;
    mutable std::vector<bool> m_fileFormatKnown;
    // The strip whose columns are enabled, and those columns.
    ReportSection m_visibleSection = ReportSection::Idle;
    int m_visibleStrip = -1;
    std::vector<int> m_visibleColumns;
    ReportSection m_placedSection = ReportSection::Idle;
    std::vector<int> m_placedColumns;
};
