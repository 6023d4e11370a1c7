#include "TnewPrinterForm.h"

#include "CellText.h"
#include "ProductIdentity.h"
#include "QtText.h"
#include "TLocale.h"
#include "TMatchDocument.h"
#include "TPrintPlan.h"
#include "TPrintSetter.h"
#include "TPrintSetupState.h"
#include "TQRBand.h"
#include "TQRCanvas.h"
#include "TQRLabel.h"
#include "TQRMemo.h"
#include "TQROutput.h"
#include "TQRShape.h"
#include "TReportGrid.h"
#include "TReportMeasures.h"
#include "TReportSource.h"
#include "TStripLayout.h"

#include <QColor>
#include <QFont>
#include <QPen>
#include <QtMath>

#include <algorithm>
#include <stdexcept>

namespace {

// Report units are 0.1 mm.
constexpr double kTitleBandHeight = 198.4;
constexpr double kFootBandHeight = 148.2;
constexpr double kLabelHeight = 45.0;
constexpr double kDividerWidth = 2775.5;
constexpr double kLineHeight = 2.6;
constexpr double kDescriptionTop = 134.9;

constexpr auto& Text = FromCp1252;

const QColor kWhite(255, 255, 255);
const QColor kLightGrey(240, 240, 240);

TQRShape& AddLine(TQRBand& band, TQRShapeType shape)
{
    auto& line = band.Add<TQRShape>();
    line.SetShape(shape);
    return line;
}

} // namespace

TnewPrinterForm::TnewPrinterForm(const TReportSource& source, TQROutput& output)
    : m_ownMeasures(std::make_unique<TReportMeasures>(source))
    , m_measures(*m_ownMeasures)
    , m_window(source)
    , m_separators(TNumberSeparators::Current())
{
    FormCreate();
    m_setter->SetOutput(&output);
}

TnewPrinterForm::TnewPrinterForm(TReportMeasures& measures, TQROutput& output)
    : m_measures(measures)
    , m_window(measures.Source())
    , m_separators(TNumberSeparators::Current())
{
    FormCreate();
    m_setter->SetOutput(&output);
}

TnewPrinterForm::~TnewPrinterForm() = default;

void TnewPrinterForm::FormCreate()
{
    m_setter = std::make_unique<TPrintSetter>(QuickRep1);
    QuickRep1.SetCreator(QString::fromUtf8(kProductVersion));
    CreateTitleBand();
    ColumnBand = &QuickRep1.AddBand(TQRBandType::ColumnHeader);
    ColumnBand->SetName(QStringLiteral("ColumnBand"));
    ColumnLine = &AddLine(*ColumnBand, TQRShapeType::HorLine);
    ColumnLine->SetName(QStringLiteral("ColumnLine"));
    ColumnLine->SetHeight(kLineHeight);
    DetailBand = &QuickRep1.AddBand(TQRBandType::Detail);
    DetailBand->SetName(QStringLiteral("DetailBand"));
    ResultSeparator = &AddLine(*DetailBand, TQRShapeType::HorLine);
    ResultSeparator->SetName(QStringLiteral("ResultSeparator"));
    CreateFootBand();

    QuickRep1.BeforePrint = [this](TQuickRep& report, bool& printReport) {
        QuickRep1BeforePrint(report, printReport);
    };
    QuickRep1.OnStartPage = [this](TQuickRep& report) { QuickRep1StartPage(report); };
    QuickRep1.OnEndPage = [this](TQuickRep& report) { QuickRep1EndPage(report); };
    QuickRep1.OnNeedData = [this](TQuickRep& report, bool& moreData) {
        FilesNeedData(report, moreData);
    };
    QuickRep1.SaveOwnerState = [this] { return SavePassState(); };
    QuickRep1.RestoreOwnerState = [this](const std::any& state) { RestorePassState(state); };
}

void TnewPrinterForm::CreateTitleBand()
{
    TitleBand = &QuickRep1.AddBand(TQRBandType::PageHeader);
    TitleBand->SetName(QStringLiteral("TitleBand"));
    TitleBand->SetHeight(kTitleBandHeight);
    QFont bold = QuickRep1.Page().Font;
    bold.setBold(true);

    TaskLabel = &TitleBand->Add<TQRLabel>();
    TaskLabel->SetName(QStringLiteral("TaskLabel"));
    TaskLabel->SetFont(bold);
    TaskLabel->SetAutoSize(true);
    TaskLabel->SetTransparent(true);
    PlaceControl(*TaskLabel, 0, 7.9, -1, kLabelHeight);

    TitleLabel = &TitleBand->Add<TQRLabel>();
    TitleLabel->SetName(QStringLiteral("TitleLabel"));
    TitleLabel->SetFont(bold);
    TitleLabel->SetAutoSize(true);
    TitleLabel->SetTransparent(true);
    TitleLabel->SetAlignment(Qt::AlignRight);
    PlaceControl(*TitleLabel, -1, 7.9, -1, kLabelHeight);

    SingleNrLabel = &TitleBand->Add<TQRLabel>();
    SingleNrLabel->SetName(QStringLiteral("SingleNrLabel"));
    SingleNrLabel->SetAutoSize(true);
    SingleNrLabel->SetTransparent(true);
    PlaceControl(*SingleNrLabel, 0, 55.6, -1, kLabelHeight);

    TitleDivider = &AddLine(*TitleBand, TQRShapeType::HorLine);
    TitleDivider->SetName(QStringLiteral("TitleDivider"));
    PlaceControl(*TitleDivider, 0, 105.8, kDividerWidth, kLineHeight);

    DescriptionMemo = &TitleBand->Add<TQRMemo>();
    DescriptionMemo->SetName(QStringLiteral("DescriptionMemo"));
    DescriptionMemo->SetAutoSize(true);
    DescriptionMemo->SetStretch(true);
    DescriptionMemo->SetTransparent(true);
    DescriptionMemo->SetWordWrap(true);
    PlaceControl(*DescriptionMemo, 0, kDescriptionTop, -1, -1);
}

void TnewPrinterForm::CreateFootBand()
{
    FootBand = &QuickRep1.AddBand(TQRBandType::PageFooter);
    FootBand->SetName(QStringLiteral("FootBand"));
    FootBand->SetHeight(kFootBandHeight);

    BottomDivider = &AddLine(*FootBand, TQRShapeType::HorLine);
    BottomDivider->SetName(QStringLiteral("BottomDivider"));
    PlaceControl(*BottomDivider, 0, 42.3, kDividerWidth, kLineHeight);

    VersionLabel = &FootBand->Add<TQRLabel>();
    VersionLabel->SetName(QStringLiteral("VersionLabel"));
    VersionLabel->SetAutoSize(true);
    VersionLabel->SetTransparent(true);
    PlaceControl(*VersionLabel, 0, 63.5, -1, kLabelHeight);

    PageLabel = &FootBand->Add<TQRLabel>();
    PageLabel->SetName(QStringLiteral("PageLabel"));
    PageLabel->SetAutoSize(true);
    PageLabel->SetTransparent(true);
    PageLabel->SetAlignment(Qt::AlignRight);
    PlaceControl(*PageLabel, -1, 63.5, -1, kLabelHeight);
}

// ---- Print run ----

void TnewPrinterForm::PrintDocument(const TMatchDocument& document,
                                    const TPrintSetupState& setupState, int singleLogNumber,
                                    const QString& headText)
{
    BuildDocument(document, setupState, singleLogNumber, headText);
    m_setter->Prepare();
    m_setter->Print();
}

void TnewPrinterForm::BuildDocument(const TMatchDocument& document,
                                    const TPrintSetupState& setupState, int singleLogNumber,
                                    const QString& headText)
{
    m_building = true;
    m_document = &document;
    m_setupState = &setupState;
    m_singleLogNumber = singleLogNumber;

    TitleLabel->SetCaption(headText);
    VersionLabel->SetCaption(QString::fromUtf8(kProductVersion) + QLatin1Char(' ') +
                             QString::fromUtf8(kMakerNotice));
    if (singleLogNumber > 0) {
        QuickRep1.PrinterSettings().Title =
            QStringLiteral("%1 / %2").arg(headText).arg(singleLogNumber);
        SingleNrLabel->SetEnabled(true);
        SingleNrLabel->SetCaption(
            QStringLiteral("%1 %2").arg(Text(Locale().ProtocolTitle)).arg(singleLogNumber));
    } else {
        QuickRep1.PrinterSettings().Title = headText;
        SingleNrLabel->SetEnabled(false);
    }

    NextSection();
    while (m_section != ReportSection::Idle) {
        SectionLayout& layout = CurrentLayout();
        const size_t count = static_cast<size_t>(m_colCount);
        layout.Columns.resize(count);
        layout.HeaderMemos.resize(count, nullptr);
        layout.HeaderLines.resize(count, nullptr);
        layout.CellLabels.resize(count, nullptr);
        layout.CellLines.resize(count, nullptr);
        layout.CellBackgrounds.resize(count, nullptr);
        BuildHeaderControls();
        BuildDetailControls();
        NextSection();
    }

    SummaryLabel = &DetailBand->Add<TQRLabel>();
    SummaryLabel->SetEnabled(false);
    SummaryLabel->SetName(QStringLiteral("SummaryLabel"));
    SummaryLabel->SetTransparent(true);
    SummaryLabel->SetCaption(m_window.LegendCaption);

    m_firstPagePending = true;
}

// ---- Sections ----

void TnewPrinterForm::NextSection()
{
    HideSectionControls(CurrentLayout(), m_colCount);
    const ReportSection s = m_section;
    const int n = m_singleLogNumber;
    const auto next = [&](ReportSection section) {
        return static_cast<int>(s) < static_cast<int>(section) &&
               TPrintPlan::PrintsSection(m_window, *m_setupState, section, n);
    };
    if (next(ReportSection::File)) {
        m_section = ReportSection::File;
        m_grid = &m_window.FilesGrid();
    } else if (next(ReportSection::Matrix)) {
        m_section = ReportSection::Matrix;
        m_grid = &m_window.MatrixGrid();
    } else if (next(ReportSection::Ratings)) {
        m_section = ReportSection::Ratings;
        m_grid = &m_window.RatingsGrid();
    } else {
        m_section = ReportSection::Idle;
        m_grid = nullptr;
        m_colCount = m_rowCount = m_fixedCols = m_fixedRows = 0;
        m_currentRow = m_nextRow = m_firstDataRow = 0;
        m_currentStrip = m_stripCounter = m_pageInStrip = 0;
        m_trailerStep = m_nextTrailerStep = -1;
        return;
    }

    const QString product = QStringLiteral("Zelmora -- ");
    QString caption;
    if (m_section == ReportSection::File)
        caption = product + Text(Locale().StatisticTitle);
    else if (m_section == ReportSection::Matrix)
        caption = product + Text(Locale().MatrixTitle(m_document->MatrixKind));
    else
        caption = product + QStringLiteral("Ratings");
    // The idle state prints no page, so its caption is not extended.
    if (n > 0)
        caption += QLatin1Char('-') + Text(Locale().SingleProtocolTitle);
    TaskLabel->SetCaption(caption);

    m_colCount = m_grid->ColCount();
    m_rowCount = m_grid->RowCount();
    m_fixedCols = m_grid->FixedCols();
    m_fixedRows = m_grid->FixedRows();
    m_currentRow = m_nextRow = m_firstDataRow = m_fixedRows;
    m_currentStrip = 0;
    m_stripCounter = CurrentLayout().LastStrip;
    m_pageInStrip = 0;
    m_trailerStep = m_nextTrailerStep = -1;
    m_captionColumns = CaptionColumns();
    m_descriptionRest.clear();
    m_descriptionSource.clear();
    m_descriptionNext = 0;
    if (!m_building)
        LayoutSection();
}

int TnewPrinterForm::CaptionColumns() const
{
    if (m_section != ReportSection::File || !m_window.Files().SumPanelsEnabled || m_colCount < 1)
        return 0;
    // The window's sum panels cover the fixed name and number columns, which carry no sums. The
    // caption spans column 1 too where that is one of them; a number column that alone is fixed
    // keeps it to column 0, so the sums of the column after it print and no strip of the table
    // finds the caption over its own first columns.
    const bool secondFree = m_colCount >= 2 && m_fixedCols >= 2 &&
                            m_grid->Cell(1, m_rowCount - 2).trimmed().isEmpty() &&
                            m_grid->Cell(1, m_rowCount - 1).trimmed().isEmpty();
    return secondFree ? 2 : 1;
}

int TnewPrinterForm::CaptionMeasureColumn() const
{
    if (m_section != ReportSection::File)
        return -1;
    return m_captionColumns > 0 ? m_captionColumns - 1 : 1;
}

QString TnewPrinterForm::SectionName(ReportSection section, int column)
{
    switch (section) {
    case ReportSection::File:
        return QStringLiteral("File") + QString::number(column);
    case ReportSection::Matrix:
        return QStringLiteral("Matrix") + QString::number(column);
    case ReportSection::Ratings:
        return QStringLiteral("Ratings") + QString::number(column);
    case ReportSection::Idle:
        throw std::runtime_error("Es wurde ein Name f\xC3\xBCr den Idle-State angefordert.");
    }
    throw std::runtime_error(
        "Es wurde ein Name f\xC3\xBCr einen undefinierten Status angefordert!");
}

void TnewPrinterForm::BuildHeaderControls()
{
    SectionLayout& layout = CurrentLayout();
    for (int c = 0; c < m_colCount; ++c) {
        const QString name = SectionName(m_section, c);
        auto& memo = ColumnBand->Add<TQRMemo>();
        memo.SetAutoSize(false);
        memo.SetStretch(false);
        memo.SetWordWrap(false);
        memo.SetTransparent(true);
        QStringList lines;
        for (int r = 0; r < m_fixedRows; ++r)
            lines << m_grid->Cell(c, r);
        memo.SetLines(lines);
        memo.SetFont(QuickRep1.Page().Font);
        memo.SetName(QStringLiteral("HeaderLabel") + name);
        layout.HeaderMemos[c] = &memo;
        if (c >= 1) {
            auto& line = AddLine(*ColumnBand, TQRShapeType::VertLine);
            line.SetName(QStringLiteral("HeaderShape") + name);
            layout.HeaderLines[c] = &line;
        }
    }
}

void TnewPrinterForm::BuildDetailControls()
{
    SectionLayout& layout = CurrentLayout();
    for (int c = 0; c < m_colCount; ++c) {
        const QString name = SectionName(m_section, c);
        auto& label = DetailBand->Add<TQRLabel>();
        label.SetAutoSize(false);
        label.SetCaption(QStringLiteral(" "));
        label.SetFont(QuickRep1.Page().Font);
        label.SetName(QStringLiteral("Label") + name);
        label.SetTransparent(true);
        layout.CellLabels[c] = &label;
        if (c >= 1) {
            auto& line = AddLine(*DetailBand, TQRShapeType::VertLine);
            line.SetName(QStringLiteral("Shape") + name);
            layout.CellLines[c] = &line;
        }
        auto& background = DetailBand->Add<TQRShape>();
        background.SetShape(TQRShapeType::Rectangle);
        background.SetPen(QPen(Qt::NoPen));
        background.SendToBack();
        layout.CellBackgrounds[c] = &background;
    }
}

void TnewPrinterForm::HideSectionControls(SectionLayout& layout, int colCount)
{
    const int count = std::min(colCount, static_cast<int>(layout.CellLabels.size()));
    for (int c = 0; c < count; ++c)
        HideColumn(layout, c);
}

void TnewPrinterForm::HideColumn(SectionLayout& layout, int c)
{
    for (TQRPrintable* control : {static_cast<TQRPrintable*>(layout.HeaderMemos[c]),
                                  static_cast<TQRPrintable*>(layout.HeaderLines[c]),
                                  static_cast<TQRPrintable*>(layout.CellLabels[c]),
                                  static_cast<TQRPrintable*>(layout.CellLines[c]),
                                  static_cast<TQRPrintable*>(layout.CellBackgrounds[c])}) {
        if (control)
            control->SetEnabled(false);
    }
}

const SectionLayout& TnewPrinterForm::Layout(ReportSection section) const
{
    return m_layouts[static_cast<int>(section)];
}

// ---- Layout ----

void TnewPrinterForm::LayoutSection()
{
    SectionLayout& layout = CurrentLayout();
    if (layout.LaidOut)
        return;
    const TQRCanvas& canvas = *QuickRep1.Canvas();
    TStripLayout strips(canvas, QuickRep1.Page().Font, m_measures);
    if (!m_metricsDone) {
        m_usableWidth = (canvas.WidthPixels() + 1) / canvas.XFactor();
        m_charWidth = (strips.TextWidth(QStringLiteral("W")) + 1) / canvas.XFactor();
        const double height = canvas.Metrics(QuickRep1.Page().Font).height();
        m_lineHeight = (qCeil(height) + 1) / canvas.YFactor();
        m_metricsDone = true;
    }
    const double L = m_lineHeight;
    const double F = m_fixedRows;
    ColumnBand->SetHeight((F + 0.5) * L);
    ColumnLine->SetTop((F + 0.4) * L);
    DetailBand->SetHeight(1.2 * L);
    const double separatorHeight = ResultSeparator->Pen().widthF() / canvas.YFactor();
    ResultSeparator->SetHeight(separatorHeight);
    ResultSeparator->SetTop(DetailBand->Height() - separatorHeight);
    PlaceControl(*SummaryLabel, 0, 0, m_usableWidth, L);

    SplitIntoStrips(layout, strips);
    SizeControls(layout);
    layout.LastStrip = m_stripCounter;
    layout.LaidOut = true;
}

void TnewPrinterForm::SplitIntoStrips(SectionLayout& layout, TStripLayout& strips)
{
    TStripTable table;
    table.Grid = m_grid;
    table.SharedDataWidth = m_section == ReportSection::Matrix;
    table.CaptionColumn = CaptionMeasureColumn();
    table.Sum1Caption = m_window.Sum1Caption;
    table.Sum2Caption = m_window.Sum2Caption;
    table.CellText = [this](int c, int r) { return ReportCellText(c, r); };
    table.ColumnKey = [this](int c) { return ColumnKey(c); };
    const std::vector<double> widths = strips.ColumnWidths(table);
    for (int c = 0; c < m_colCount; ++c) {
        layout.Columns[c].Width = widths[c];
        layout.Columns[c].Alignment = ColumnAlignment(c);
    }
    // The matrix's data columns, one per input file, fill strips by the dozen: its fixed
    // columns take a third of the width, the files table's half.
    const TStripRoom room{m_usableWidth, m_charWidth, m_section == ReportSection::Matrix ? 3 : 2};
    m_stripCounter = TStripLayout::Split(layout.Columns, m_fixedCols, room);
}

void TnewPrinterForm::SizeControls(SectionLayout& layout)
{
    const double L = m_lineHeight;
    const double C = m_charWidth;
    const double F = m_fixedRows;
    const double detailHeight = DetailBand->Height();
    const double backgroundHeight = detailHeight - ResultSeparator->Height();
    for (int c = 0; c < m_colCount; ++c) {
        const double w = layout.Columns[c].Width;
        const Qt::Alignment alignment =
            layout.Columns[c].Alignment == 1 ? Qt::AlignLeft : Qt::AlignRight;
        PlaceControl(*layout.HeaderMemos[c], -1, 0, w, F * L);
        layout.HeaderMemos[c]->SetAlignment(alignment);
        PlaceControl(*layout.CellLabels[c], -1, (detailHeight - L) / 2, w, L);
        layout.CellLabels[c]->SetAlignment(alignment);
        if (c >= 1) {
            PlaceControl(*layout.HeaderLines[c], -1, 0, 0.1 * C, (F + 0.5) * L);
            PlaceControl(*layout.CellLines[c], -1, 0, 0.1 * C, 1.2 * L);
        }
        PlaceControl(*layout.CellBackgrounds[c], -1, 0, w + C, backgroundHeight);
    }
}

std::uint8_t TnewPrinterForm::ColumnAlignment(int c) const
{
    const TColumnMap& columns = m_document->Columns;
    if (m_section == ReportSection::File && c < static_cast<int>(columns.size()) &&
        ColumnMeaningOf(*m_document, columns[c]).Alignment == TColumnAlignment::Left)
        return 1;
    if (m_rowCount >= 2) {
        const QString fileName = Text(Locale().FileNameTitle);
        if ((m_grid->Cell(c, 0) == fileName) != (m_grid->Cell(c, 1) == fileName))
            return 1;
    }
    return 0;
}

void TnewPrinterForm::PlaceStrip()
{
    const double L = m_lineHeight;
    const double F = m_fixedRows;
    ColumnBand->SetHeight((F + 0.5) * L);
    ColumnLine->SetTop((F + 0.4) * L);
    SectionLayout& layout = CurrentLayout();
    const std::vector<int>& visible = VisibleColumns();
    // Only the previous strip's columns can be enabled: everything else was hidden when its
    // section started, so a page costs the columns it shows, not the whole table.
    if (m_placedSection == m_section) {
        for (int c : m_placedColumns) {
            if (!ColumnVisible(c))
                HideColumn(layout, c);
        }
    }
    double x = 0;
    for (int c : visible) {
        PlaceColumn(layout, c, x);
        x += layout.Columns[c].Width + m_charWidth;
    }
    m_placedSection = m_section;
    m_placedColumns = visible;
    ResultSeparator->BringToFront();
    // A page that begins inside the trailer shows neither column titles nor their rule.
    const bool trailer =
        m_section == ReportSection::File && m_currentStrip == 0 && m_trailerStep >= 0;
    ColumnBand->SetEnabled(!trailer);
    if (trailer) {
        HideSectionControls(layout, m_colCount);
        ResultSeparator->SetEnabled(false);
    }
}

void TnewPrinterForm::PlaceColumn(SectionLayout& layout, int c, double x)
{
    const double C = m_charWidth;
    layout.HeaderMemos[c]->SetEnabled(true);
    layout.HeaderMemos[c]->SetLeft(x);
    layout.CellLabels[c]->SetEnabled(true);
    layout.CellLabels[c]->SetLeft(x);
    if (c >= 1) {
        layout.HeaderLines[c]->SetEnabled(true);
        layout.HeaderLines[c]->SetLeft(x - 0.5 * C);
        layout.CellLines[c]->SetEnabled(true);
        layout.CellLines[c]->SetLeft(x - 0.5 * C);
    }
    // A page that begins with a merged sum row keeps the caption's area free.
    if (c >= 1 && c < m_captionColumns && c < m_fixedCols && m_currentRow >= m_rowCount - 2 &&
        !SingleLogRowPending()) {
        layout.CellLabels[c]->SetEnabled(false);
        layout.CellLines[c]->SetEnabled(false);
    }
    TQRShape& background = *layout.CellBackgrounds[c];
    background.SetEnabled(true);
    background.SetLeft(x - 0.45 * C);
    ColumnLine->SetWidth(background.Left() + background.Width());
    ResultSeparator->SetWidth(background.Left() + background.Width());
}

bool TnewPrinterForm::ColumnVisible(int c) const
{
    return c < m_fixedCols || Layout(m_section).Columns[c].Strip == m_currentStrip;
}

const std::vector<int>& TnewPrinterForm::VisibleColumns()
{
    if (m_visibleSection == m_section && m_visibleStrip == m_currentStrip)
        return m_visibleColumns;
    m_visibleColumns.clear();
    for (int c = 0; c < m_colCount; ++c) {
        if (ColumnVisible(c))
            m_visibleColumns.push_back(c);
    }
    m_visibleSection = m_section;
    m_visibleStrip = m_currentStrip;
    return m_visibleColumns;
}

void TnewPrinterForm::PlaceControl(TQRPrintable& control, double left, double top, double width,
                                   double height)
{
    if (left >= 0)
        control.SetLeft(left);
    if (top >= 0)
        control.SetTop(top);
    if (width >= 0)
        control.SetWidth(width);
    if (height >= 0)
        control.SetHeight(height);
}

void TnewPrinterForm::AlignToRightEdge(TQRLabel& label)
{
    label.SetLeft(m_usableWidth - label.Width());
}

// ---- Measuring and cell texts ----

QString TnewPrinterForm::ColumnKey(int c) const
{
    const TColumnMap& codes = m_window.Document().Columns;
    if (m_section == ReportSection::File && c < static_cast<int>(codes.size()))
        return QStringLiteral("File code %1").arg(codes[c]);
    return SectionName(m_section, c);
}

QString TnewPrinterForm::ReportCellText(int c, int r) const
{
    const QString text = m_grid->Cell(c, r);
    if (text.isEmpty())
        return text;
    switch (m_section) {
    case ReportSection::File:
        if (r < m_fixedRows)
            return text;
        return FormatNumber(text, ColumnNumberFormat(c), m_separators);
    case ReportSection::Matrix:
        if (c >= m_fixedCols && r >= m_fixedRows)
            return FormatNumber(text, TNumberFormat::Integer, m_separators);
        return text;
    default:
        return text;
    }
}

TNumberFormat TnewPrinterForm::ColumnNumberFormat(int c) const
{
    const TColumnMap& columns = m_document->Columns;
    const int k = c < static_cast<int>(columns.size()) ? columns[c] : 0;
    if (const std::optional<TNumberFormat> format = ColumnMeaningOf(*m_document, k).PrintedFormat)
        return *format;
    if (m_fileFormats.size() != static_cast<size_t>(m_colCount)) {
        m_fileFormats.assign(m_colCount, TNumberFormat::AsIs);
        m_fileFormatKnown.assign(m_colCount, false);
    }
    if (!m_fileFormatKnown[c]) {
        // Detecting reads the whole column: once per code and print command.
        m_fileFormats[c] =
            m_measures.Format(ColumnKey(c), [this, c] { return DetectNumberFormat(c); });
        m_fileFormatKnown[c] = true;
    }
    return m_fileFormats[c];
}

TNumberFormat TnewPrinterForm::DetectNumberFormat(int c) const
{
    bool any = false;
    bool integers = true;
    bool decimals = true;
    for (int r = m_fixedRows; r < m_rowCount; ++r) {
        const QString text = m_grid->Cell(c, r).trimmed();
        if (text.isEmpty())
            continue;
        any = true;
        integers = integers && ReadsAsInteger(text);
        decimals = decimals && ReadsAsDecimal(text, m_separators.Decimal);
    }
    if (any && integers)
        return TNumberFormat::Integer;
    if (any && decimals)
        return TNumberFormat::TwoDecimals;
    return TNumberFormat::AsIs;
}

// ---- Generation events ----

void TnewPrinterForm::QuickRep1BeforePrint(TQuickRep&, bool&)
{
    SetLinePens();
    NextSection();
}

void TnewPrinterForm::SetLinePens()
{
    // One line width for every rule, a third of a typographic point-ish hairline that a
    // high-resolution device would otherwise draw all but invisible.
    const TQRCanvas& canvas = *QuickRep1.Canvas();
    const double width = std::max(1.0, std::round(canvas.XFactor() * 254.0 / 300.0));
    const QPen solid(Qt::black, width, Qt::SolidLine, Qt::FlatCap);
    for (TQRShape* line : {TitleDivider, ColumnLine, BottomDivider})
        line->SetPen(solid);
    QPen separator = solid;
    separator.setStyle(ResultSeparator->Pen().style() == Qt::SolidLine ? Qt::SolidLine
                                                                       : Qt::DotLine);
    ResultSeparator->SetPen(separator);
    for (SectionLayout& layout : m_layouts) {
        for (auto* lines : {&layout.HeaderLines, &layout.CellLines}) {
            for (TQRShape* line : *lines) {
                if (line)
                    line->SetPen(solid);
            }
        }
    }
}

void TnewPrinterForm::QuickRep1StartPage(TQuickRep&)
{
    m_building = false;
    PageLabel->SetCaption(QStringLiteral("%1 %2 x %3")
                              .arg(Text(Locale().PageTitle))
                              .arg(m_pageInStrip + 1)
                              .arg(m_currentStrip + 1));
    const bool first = m_pageInStrip <= 0 && m_section == ReportSection::File;
    const bool continued = m_section == ReportSection::File && DescriptionPending();
    DescriptionMemo->SetEnabled(first || continued);
    if (first)
        FillDescription();
    if (m_section != ReportSection::Idle)
        LayoutSection();
    AlignToRightEdge(*PageLabel);
    // The head text keeps clear of the section caption.
    TitleLabel->SetMaxWidth(std::max(1.0, m_usableWidth - TaskLabel->Width() - 2 * m_charWidth));
    AlignToRightEdge(*TitleLabel);
    if (m_section != ReportSection::Idle)
        PlaceStrip();
    // After the strip, which gives the column header this section's height: before it the band
    // has the height of the section placed last, in the printing pass the last of the
    // preparing pass, and the description would take the room of other column titles.
    if (first || continued)
        PlaceDescription();
    if (m_firstPagePending) {
        m_firstPagePending = false;
        const int currentRow = m_currentRow;
        const int nextRow = m_nextRow;
        m_nextRow = m_currentRow;
        bool moreData = true;
        m_inPageStart = true;
        FilesNeedData(QuickRep1, moreData);
        m_inPageStart = false;
        m_currentRow = currentRow;
        m_nextRow = nextRow;
    }
}

void TnewPrinterForm::FillDescription()
{
    m_descriptionRest.clear();
    m_descriptionNext = 0;
    if (m_currentStrip == 0) {
        m_descriptionSource = m_window.InfoLines;
        m_descriptionSource << QStringLiteral(" ") << Text(m_document->CustomerText)
                            << Text(m_document->TaskText) << QStringLiteral(" ")
                            << QStringLiteral("%1: %2 %")
                                   .arg(Text(Locale().NetShareTitle),
                                        Text(m_document->PercentText));
    } else {
        m_descriptionSource.clear();
        for (int i = 0; i < m_descriptionLines; ++i)
            m_descriptionSource << QStringLiteral(" ");
    }
}

bool TnewPrinterForm::DescriptionPending() const
{
    return !m_descriptionRest.isEmpty() || m_descriptionNext < m_descriptionSource.size();
}

// The description's lines that fit on this page with the column titles and a first row below
// them; what is left goes on over the next pages, before the table begins. Lines are broken as
// the pages take them, so that a page's lines are measured while their widths are at hand.
void TnewPrinterForm::PlaceDescription()
{
    const TQRCanvas& canvas = *QuickRep1.Canvas();
    const double room = canvas.Height() - FootBand->PrintHeight(canvas) -
                        ColumnBand->PrintHeight(canvas) - DetailBand->PrintHeight(canvas);
    const double step = DescriptionMemo->LineHeight(canvas);
    const int fitting = step > 0 ? int(std::floor((room - kDescriptionTop) / step + 1e-6)) : 0;
    // A line a page at least, so that the description always comes to its end.
    const int wanted = std::max(1, fitting);
    // As they print: wrapped lines count as the lines they become.
    while (m_descriptionRest.size() < wanted && m_descriptionNext < m_descriptionSource.size()) {
        m_descriptionRest << DescriptionMemo->PrintedLines(
            canvas, QStringList{m_descriptionSource.at(m_descriptionNext++)});
    }
    const int count = std::min(int(m_descriptionRest.size()), wanted);
    DescriptionMemo->SetLines(m_descriptionRest.mid(0, count));
    m_descriptionRest.remove(0, count);
    if (!DescriptionPending() && m_currentStrip == 0)
        m_descriptionLines = count;
}

void TnewPrinterForm::QuickRep1EndPage(TQuickRep&) { ++m_pageInStrip; }

bool TnewPrinterForm::SingleLogSelected() const
{
    return m_section == ReportSection::File && m_singleLogNumber > 0 &&
           m_singleLogNumber <= m_rowCount - m_fixedRows - 2;
}

bool TnewPrinterForm::SingleLogRowPending() const
{
    return SingleLogSelected() && m_currentRow < m_rowCount - 2;
}

void TnewPrinterForm::FilesNeedData(TQuickRep& report, bool& moreData)
{
    // Nothing selected: the report has no rows (the print command never starts one).
    if (m_section == ReportSection::Idle) {
        moreData = false;
        return;
    }
    // A description longer than a page goes on over the next pages before the next row.
    while (DescriptionPending() && !m_inPageStart)
        report.NewPage();
    m_currentRow = m_nextRow;
    m_trailerStep = m_nextTrailerStep;
    if (m_trailerStep == -1) {
        SummaryLabel->SetEnabled(false);
        ResultSeparator->SetEnabled(true);
    } else if (m_section == ReportSection::File && m_currentStrip == 0) {
        m_nextTrailerStep = m_trailerStep + 1;
        ResultSeparator->SetEnabled(false);
        HideSectionControls(CurrentLayout(), m_colCount);
        moreData = true;
        if (m_trailerStep == 2) {
            SummaryLabel->SetEnabled(true);
        } else if (m_trailerStep == 3) {
            m_nextTrailerStep = -1;
            FilesNeedData(report, moreData);
        }
        return;
    }
    if (m_section == ReportSection::File)
        ResetMergedCaption();
    ResultSeparator->SetPen([this] {
        QPen pen = ResultSeparator->Pen();
        pen.setStyle(Qt::DotLine);
        return pen;
    }());

    if (m_currentRow < m_rowCount) {
        FillDetailRow();
        moreData = true;
        m_nextRow = m_currentRow + 1;
        return;
    }
    if (m_currentStrip < m_stripCounter) {
        m_currentRow = m_nextRow = m_firstDataRow;
        if (m_section == ReportSection::File)
            ResetMergedCaption();
        ++m_currentStrip;
        m_pageInStrip = -1;
        report.NewPage();
        FilesNeedData(report, moreData);
        return;
    }
    NextSection();
    if (m_section != ReportSection::Idle) {
        m_pageInStrip = -1;
        report.NewPage();
        FilesNeedData(report, moreData);
        return;
    }
    FinishRun();
    moreData = false;
}

void TnewPrinterForm::ResetMergedCaption()
{
    SectionLayout& layout = CurrentLayout();
    if (m_colCount < 1)
        return;
    layout.CellLabels[0]->SetWidth(layout.Columns[0].Width);
    layout.CellLabels[0]->SetAlignment(layout.Columns[0].Alignment == 1 ? Qt::AlignLeft
                                                                        : Qt::AlignRight);
    // The columns under the caption are fixed: every strip shows them.
    for (int c = 1; c < m_captionColumns && c < m_fixedCols; ++c) {
        layout.CellLabels[c]->SetEnabled(true);
        layout.CellLabels[c]->BringToFront();
        layout.CellLines[c]->SetEnabled(true);
    }
}

void TnewPrinterForm::FillDetailRow()
{
    bool pending = SingleLogRowPending();
    if (pending) {
        const int r = m_singleLogNumber + m_fixedRows - 1;
        if (r >= m_currentRow) {
            m_currentRow = r;
            QPen pen = ResultSeparator->Pen();
            pen.setStyle(Qt::SolidLine);
            ResultSeparator->SetPen(pen);
        } else {
            m_currentRow = m_rowCount - 2;
        }
        pending = SingleLogRowPending();
    }
    for (int c : VisibleColumns())
        FillDetailCell(c, pending);
}

void TnewPrinterForm::FillDetailCell(int c, bool singleLogRowPending)
{
    SectionLayout& layout = CurrentLayout();
    const int row = m_currentRow - m_fixedRows;
    QColor colour = row % 2 == 0 ? kWhite : kLightGrey;
    if (const TOptionalColour fill = m_grid->Colour(c, m_currentRow))
        colour = QColor(fill->Red, fill->Green, fill->Blue);
    else if (m_section == ReportSection::File && m_singleLogNumber > 0)
        colour = kWhite;
    layout.CellBackgrounds[c]->SetBrush(colour);

    if (m_section == ReportSection::File && m_currentRow >= m_rowCount - 3 &&
        !singleLogRowPending) {
        if (m_currentRow == m_rowCount - 3) {
            QPen pen = ResultSeparator->Pen();
            pen.setStyle(Qt::SolidLine);
            ResultSeparator->SetPen(pen);
        } else if (c < m_captionColumns) {
            TQRLabel& first = *layout.CellLabels[0];
            if (c > 0) {
                layout.CellLabels[c]->SetEnabled(false);
                layout.CellLines[c]->SetEnabled(false);
                return;
            }
            const TQRLabel& covered = *layout.CellLabels[m_captionColumns - 1];
            first.SetWidth(covered.Left() - first.Left() + covered.Width());
            const bool last = m_currentRow == m_rowCount - 1;
            first.SetCaption((last ? m_window.Sum2Caption : m_window.Sum1Caption).trimmed());
            first.SetAlignment(Qt::AlignLeft);
            if (last)
                m_nextTrailerStep = 1;
            return;
        }
    }
    layout.CellLabels[c]->SetCaption(ReportCellText(c, m_currentRow));
}

void TnewPrinterForm::FinishRun() { m_building = true; }

// ---- Bookmarks ----

// Every field the events change; the caches go along, so that they fit the state they serve.
struct TnewPrinterForm::TPassState {
    ReportSection Section;
    const TReportGrid* Grid;
    int ColCount, RowCount, FixedCols, FixedRows;
    int CurrentRow, NextRow, FirstDataRow;
    int CurrentStrip, StripCounter, PageInStrip;
    int TrailerStep, NextTrailerStep;
    bool MetricsDone;
    bool Building, FirstPagePending;
    double UsableWidth, CharWidth, LineHeight;
    std::array<SectionLayout, 4> Layouts;
    int DescriptionLines;
    QStringList DescriptionSource;
    qsizetype DescriptionNext;
    QStringList DescriptionRest;
    bool InPageStart;
    int CaptionColumns;
    std::vector<TNumberFormat> FileFormats;
    std::vector<bool> FileFormatKnown;
    ReportSection VisibleSection;
    int VisibleStrip;
    std::vector<int> VisibleColumns;
    ReportSection PlacedSection;
    std::vector<int> PlacedColumns;
};

std::any TnewPrinterForm::SavePassState() const
{
    return TPassState{m_section,           m_grid,
                      m_colCount,          m_rowCount,
                      m_fixedCols,         m_fixedRows,
                      m_currentRow,        m_nextRow,
                      m_firstDataRow,      m_currentStrip,
                      m_stripCounter,      m_pageInStrip,
                      m_trailerStep,       m_nextTrailerStep,
                      m_metricsDone,       m_building,
                      m_firstPagePending,  m_usableWidth,
                      m_charWidth,         m_lineHeight,
                      m_layouts,           m_descriptionLines,
                      m_descriptionSource, m_descriptionNext,
                      m_descriptionRest,   m_inPageStart,
                      m_captionColumns,    m_fileFormats,
                      m_fileFormatKnown,   m_visibleSection,
                      m_visibleStrip,      m_visibleColumns,
                      m_placedSection,     m_placedColumns};
}

void TnewPrinterForm::RestorePassState(const std::any& saved)
{
    const auto& state = std::any_cast<const TPassState&>(saved);
    m_section = state.Section;
    m_grid = state.Grid;
    m_colCount = state.ColCount;
    m_rowCount = state.RowCount;
    m_fixedCols = state.FixedCols;
    m_fixedRows = state.FixedRows;
    m_currentRow = state.CurrentRow;
    m_nextRow = state.NextRow;
    m_firstDataRow = state.FirstDataRow;
    m_currentStrip = state.CurrentStrip;
    m_stripCounter = state.StripCounter;
    m_pageInStrip = state.PageInStrip;
    m_trailerStep = state.TrailerStep;
    m_nextTrailerStep = state.NextTrailerStep;
    m_metricsDone = state.MetricsDone;
    m_building = state.Building;
    m_firstPagePending = state.FirstPagePending;
    m_usableWidth = state.UsableWidth;
    m_charWidth = state.CharWidth;
    m_lineHeight = state.LineHeight;
    m_layouts = state.Layouts;
    m_descriptionLines = state.DescriptionLines;
    m_descriptionSource = state.DescriptionSource;
    m_descriptionNext = state.DescriptionNext;
    m_descriptionRest = state.DescriptionRest;
    m_inPageStart = state.InPageStart;
    m_captionColumns = state.CaptionColumns;
    m_fileFormats = state.FileFormats;
    m_fileFormatKnown = state.FileFormatKnown;
    m_visibleSection = state.VisibleSection;
    m_visibleStrip = state.VisibleStrip;
    m_visibleColumns = state.VisibleColumns;
    m_placedSection = state.PlacedSection;
    m_placedColumns = state.PlacedColumns;
}
