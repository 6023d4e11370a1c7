#include "TnewPrinterForm.h"

#include "CellText.h"
#include "ProductIdentity.h"
#include "QtText.h"
#include "TLocale.h"
#include "TMatchDocument.h"
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

#include <QColor>
#include <QFont>
#include <QPen>
#include <QtMath>

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

namespace {

// Report units are 0.1 mm.
constexpr double kTitleBandHeight = 198.4;
constexpr double kFootBandHeight = 148.2;
constexpr double kLabelHeight = 45.0;
constexpr double kDividerWidth = 2775.5;
constexpr double kLineHeight = 2.6;
constexpr double kDescriptionTop = 134.9;
// A width that reaches the printable width by a rounding hair still reaches it.
constexpr double kWidthTolerance = 1e-9;
// What fixed columns cut to let a table fit one strip leave beside it.
constexpr double kOneStripMargin = 1.0;

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
                                    const QString& headText, bool sumRowsMerged)
{
    BuildDocument(document, setupState, singleLogNumber, headText, sumRowsMerged);
    m_setter->Prepare();
    m_setter->Print();
}

void TnewPrinterForm::BuildDocument(const TMatchDocument& document,
                                    const TPrintSetupState& setupState, int singleLogNumber,
                                    const QString& headText, bool sumRowsMerged)
{
    Building = true;
    Document = &document;
    SetupState = &setupState;
    SingleLogNumber = singleLogNumber;
    FileCount = m_window.FilesGrid().RowCount() - 4;
    SumRowsMerged = sumRowsMerged;

    TitleLabel->SetCaption(headText);
    VersionLabel->SetCaption(QString::fromUtf8(kProductVersion) + QLatin1Char(' ') +
                             QString::fromUtf8(kMakerNotice));
    if (singleLogNumber > 0) {
        QuickRep1.PrinterSettings().Title =
            QStringLiteral("%1 / %2").arg(headText).arg(singleLogNumber);
        SingleNrLabel->SetEnabled(true);
        SingleNrLabel->SetCaption(QStringLiteral("%1 %2")
                                      .arg(Text(Locale().ProtocolTitle))
                                      .arg(singleLogNumber));
    } else {
        QuickRep1.PrinterSettings().Title = headText;
        SingleNrLabel->SetEnabled(false);
    }

    NextSection();
    while (Section != ReportSection::Idle) {
        SectionLayout& layout = CurrentLayout();
        const size_t count = static_cast<size_t>(ColCount);
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

    FirstPagePending = true;
}

// ---- Sections ----

void TnewPrinterForm::NextSection()
{
    HideSectionControls(CurrentLayout(), ColCount);
    const ReportSection s = Section;
    const int n = SingleLogNumber;
    const auto before = [s](ReportSection section) {
        return static_cast<int>(s) < static_cast<int>(section);
    };
    if (s == ReportSection::Idle && (SetupState->TitleAndTable || n > 0)) {
        Section = ReportSection::File;
        Grid = &m_window.FilesGrid();
    } else if (before(ReportSection::Matrix) && FileCount > 1 && SetupState->Matrix && n <= 0) {
        Section = ReportSection::Matrix;
        Grid = &m_window.MatrixGrid();
    } else if (before(ReportSection::Ratings) && m_window.RatingsPageVisible &&
               SetupState->Ratings && n <= 0) {
        Section = ReportSection::Ratings;
        Grid = &m_window.RatingsGrid();
    } else {
        Section = ReportSection::Idle;
        Grid = nullptr;
        ColCount = RowCount = FixedCols = FixedRows = 0;
        CurrentRow = NextRow = FirstDataRow = 0;
        CurrentStrip = StripCounter = PageInStrip = 0;
        TrailerStep = NextTrailerStep = -1;
        return;
    }

    const QString product = QStringLiteral("Zelmora -- ");
    QString caption;
    if (Section == ReportSection::File)
        caption = product + Text(Locale().StatisticTitle);
    else if (Section == ReportSection::Matrix)
        caption = product + Text(Locale().MatrixTitle(Document->MatrixKind));
    else
        caption = product + QStringLiteral("Ratings");
    // The idle state prints no page, so its caption is not extended.
    if (n > 0)
        caption += QLatin1Char('-') + Text(Locale().SingleProtocolTitle);
    TaskLabel->SetCaption(caption);

    ColCount = Grid->ColCount();
    RowCount = Grid->RowCount();
    FixedCols = Grid->FixedCols();
    FixedRows = Grid->FixedRows();
    CurrentRow = NextRow = FirstDataRow = FixedRows;
    CurrentStrip = 0;
    StripCounter = CurrentLayout().LastStrip;
    PageInStrip = 0;
    TrailerStep = NextTrailerStep = -1;
    m_captionColumns = CaptionColumns();
    m_descriptionRest.clear();
    m_descriptionSource.clear();
    m_descriptionNext = 0;
    if (!Building)
        LayoutSection();
}

int TnewPrinterForm::CaptionColumns() const
{
    if (Section != ReportSection::File || !SumRowsMerged || ColCount < 1)
        return 0;
    // The window's sum panels cover the fixed name and number columns, which carry no sums. The
    // caption spans column 1 too where that is one of them; a number column that alone is fixed
    // keeps it to column 0, so the sums of the column after it print and no strip of the table
    // finds the caption over its own first columns.
    const bool secondFree = ColCount >= 2 && FixedCols >= 2 &&
                            Grid->Cell(1, RowCount - 2).trimmed().isEmpty() &&
                            Grid->Cell(1, RowCount - 1).trimmed().isEmpty();
    return secondFree ? 2 : 1;
}

int TnewPrinterForm::CaptionMeasureColumn() const
{
    if (Section != ReportSection::File)
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
    throw std::runtime_error("Es wurde ein Name f\xC3\xBCr einen undefinierten Status angefordert!");
}

void TnewPrinterForm::BuildHeaderControls()
{
    SectionLayout& layout = CurrentLayout();
    for (int c = 0; c < ColCount; ++c) {
        const QString name = SectionName(Section, c);
        auto& memo = ColumnBand->Add<TQRMemo>();
        memo.SetAutoSize(false);
        memo.SetStretch(false);
        memo.SetWordWrap(false);
        memo.SetTransparent(true);
        QStringList lines;
        for (int r = 0; r < FixedRows; ++r)
            lines << Grid->Cell(c, r);
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
    for (int c = 0; c < ColCount; ++c) {
        const QString name = SectionName(Section, c);
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
    for (TQRPrintable* control :
         {static_cast<TQRPrintable*>(layout.HeaderMemos[c]),
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
    if (!MetricsDone) {
        m_usableWidth = (canvas.WidthPixels() + 1) / canvas.XFactor();
        m_charWidth = (PrinterTextWidth(QStringLiteral("W")) + 1) / canvas.XFactor();
        const double height = canvas.Metrics(QuickRep1.Page().Font).height();
        m_lineHeight = (qCeil(height) + 1) / canvas.YFactor();
        MetricsDone = true;
    }
    const double L = m_lineHeight;
    const double F = FixedRows;
    ColumnBand->SetHeight((F + 0.5) * L);
    ColumnLine->SetTop((F + 0.4) * L);
    DetailBand->SetHeight(1.2 * L);
    const double separatorHeight = ResultSeparator->Pen().widthF() / canvas.YFactor();
    ResultSeparator->SetHeight(separatorHeight);
    ResultSeparator->SetTop(DetailBand->Height() - separatorHeight);
    PlaceControl(*SummaryLabel, 0, 0, m_usableWidth, L);

    SplitIntoStrips(layout);
    SizeControls(layout);
    layout.LastStrip = StripCounter;
    layout.LaidOut = true;
}

void TnewPrinterForm::SplitIntoStrips(SectionLayout& layout)
{
    const double factor = QuickRep1.Canvas()->XFactor();
    const double W = m_usableWidth;
    const double C = m_charWidth;
    for (int c = 0; c < ColCount; ++c) {
        ColumnLayout& column = layout.Columns[c];
        column.Width = (MeasureColumn(c) + 1) / factor;
        column.Alignment = ColumnAlignment(c);
    }
    CapColumnWidths(layout);
    double fixed = 0;
    double run = 0;
    for (int c = 0; c < ColCount; ++c) {
        ColumnLayout& column = layout.Columns[c];
        if (c < FixedCols) {
            fixed += column.Width + C;
            run = 0;
        } else {
            run += column.Width + C;
            if (fixed + run >= W - kWidthTolerance) {
                ++StripCounter;
                run = column.Width + C;
            }
        }
        column.Strip = StripCounter;
    }
}

// Fixed columns repeat on every strip, so what they take is taken from every strip's data. Where a
// table needs more than one strip, they together take at most a share of the printable width:
// half, and a third on the matrix, whose data columns (one per input file) fill strips by the
// dozen. Where cutting them lets the table fit one strip, they are cut only as far as that. The
// widest fixed columns give way first (long file names, cut with an ellipsis; the ident and the
// number beside them still tell the rows apart). A data column wider than what a strip has left
// beside the fixed columns is cut to that room, so every strip keeps room for a data column.
void TnewPrinterForm::CapColumnWidths(SectionLayout& layout)
{
    const double W = m_usableWidth;
    const double C = m_charWidth;
    const int fixedCount = std::min(FixedCols, ColCount);
    double data = 0;
    for (int c = fixedCount; c < ColCount; ++c)
        data += layout.Columns[c].Width + C;
    const double share = Section == ReportSection::Matrix ? W / 3 : W / 2;
    // Short of the printable width by more than the strips' rounding tolerance.
    const double budget = std::max(share, W - data - kOneStripMargin);
    double fixed = 0;
    std::vector<double> widths;
    for (int c = 0; c < fixedCount; ++c) {
        fixed += layout.Columns[c].Width + C;
        widths.push_back(layout.Columns[c].Width);
    }
    if (fixed > budget) {
        // The level t at which the fixed widths, none above t, fill the budget.
        std::sort(widths.begin(), widths.end());
        double left = budget - fixedCount * C;
        double level = 0;
        for (std::size_t i = 0; i < widths.size(); ++i) {
            level = std::max(0.0, left / double(widths.size() - i));
            if (level <= widths[i])
                break;
            left -= widths[i];
        }
        fixed = 0;
        for (int c = 0; c < fixedCount; ++c) {
            layout.Columns[c].Width = std::min(layout.Columns[c].Width, level);
            fixed += layout.Columns[c].Width + C;
        }
    }
    const double room = std::max(0.0, W - fixed - C);
    for (int c = fixedCount; c < ColCount; ++c)
        layout.Columns[c].Width = std::min(layout.Columns[c].Width, room);
}

void TnewPrinterForm::SizeControls(SectionLayout& layout)
{
    const double L = m_lineHeight;
    const double C = m_charWidth;
    const double F = FixedRows;
    const double detailHeight = DetailBand->Height();
    const double backgroundHeight = detailHeight - ResultSeparator->Height();
    for (int c = 0; c < ColCount; ++c) {
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
    const TColumnMap& columns = Document->Columns;
    if (Section == ReportSection::File && c < static_cast<int>(columns.size()) &&
        ColumnMeaningOf(*Document, columns[c]).Alignment == TColumnAlignment::Left)
        return 1;
    if (RowCount >= 2) {
        const QString fileName = Text(Locale().FileNameTitle);
        if ((Grid->Cell(c, 0) == fileName) != (Grid->Cell(c, 1) == fileName))
            return 1;
    }
    return 0;
}

void TnewPrinterForm::PlaceStrip()
{
    const double L = m_lineHeight;
    const double F = FixedRows;
    ColumnBand->SetHeight((F + 0.5) * L);
    ColumnLine->SetTop((F + 0.4) * L);
    SectionLayout& layout = CurrentLayout();
    const std::vector<int>& visible = VisibleColumns();
    // Only the previous strip's columns can be enabled: everything else was hidden when its
    // section started, so a page costs the columns it shows, not the whole table.
    if (m_placedSection == Section) {
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
    m_placedSection = Section;
    m_placedColumns = visible;
    ResultSeparator->BringToFront();
    // A page that begins inside the trailer shows neither column titles nor their rule.
    const bool trailer = Section == ReportSection::File && CurrentStrip == 0 && TrailerStep >= 0;
    ColumnBand->SetEnabled(!trailer);
    if (trailer) {
        HideSectionControls(layout, ColCount);
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
    if (c >= 1 && c < m_captionColumns && c < FixedCols && CurrentRow >= RowCount - 2 &&
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
    return c < FixedCols || Layout(Section).Columns[c].Strip == CurrentStrip;
}

const std::vector<int>& TnewPrinterForm::VisibleColumns()
{
    if (m_visibleSection == Section && m_visibleStrip == CurrentStrip)
        return m_visibleColumns;
    m_visibleColumns.clear();
    for (int c = 0; c < ColCount; ++c) {
        if (ColumnVisible(c))
            m_visibleColumns.push_back(c);
    }
    m_visibleSection = Section;
    m_visibleStrip = CurrentStrip;
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

// Measured as far as the printable width: no column is wider, and a text beyond it is cut to
// its column, so what lies further costs nothing.
int TnewPrinterForm::PrinterTextWidth(const QString& text) const
{
    const TQRCanvas& canvas = *QuickRep1.Canvas();
    return qCeil(canvas.TextWidth(QuickRep1.Page().Font, text, canvas.WidthPixels()));
}

int TnewPrinterForm::MeasureColumn(int c)
{
    if (Section == ReportSection::Matrix && c >= FixedCols)
        return MeasureMatrixColumns();
    if (c != CaptionMeasureColumn())
        return MeasureCells(c, 0, RowCount - 1, QStringLiteral("all"));
    // The sum captions span the columns up to this one: it takes what the columns before it
    // leave of them.
    int before = 0;
    for (int k = 0; k < c; ++k)
        before += MeasureColumn(k);
    int widest = MeasureCells(c, 0, RowCount - 3, QStringLiteral("body"));
    if (RowCount >= 2)
        widest = std::max(widest, PrinterTextWidth(m_window.Sum1Caption) - before);
    if (RowCount >= 1)
        widest = std::max(widest, PrinterTextWidth(m_window.Sum2Caption) - before);
    return widest;
}

int TnewPrinterForm::MeasureCells(int c, int first, int last, const QString& part)
{
    return m_measures.Width(DeviceKey(), ColumnKey(c) + QLatin1Char(' ') + part, [&] {
        int widest = 0;
        for (int r = std::max(0, first); r <= last && r < RowCount; ++r)
            widest = std::max(widest, PrinterTextWidth(ReportCellText(c, r)));
        return widest;
    });
}

int TnewPrinterForm::MeasureMatrixColumns()
{
    if (MatrixColumnWidth >= 0)
        return MatrixColumnWidth;
    MatrixColumnWidth = m_measures.Width(DeviceKey(), QStringLiteral("Matrix data"), [this] {
        // Millions of cells but few distinct texts: measuring each text once gives the same
        // widths.
        std::unordered_map<QString, int> widths;
        int widest = 0;
        for (int k = FixedCols; k < ColCount; ++k) {
            for (int r = 0; r < RowCount; ++r) {
                const QString text = ReportCellText(k, r);
                auto found = widths.find(text);
                if (found == widths.end())
                    found = widths.emplace(text, PrinterTextWidth(text)).first;
                widest = std::max(widest, found->second);
            }
        }
        return widest;
    });
    return MatrixColumnWidth;
}

QString TnewPrinterForm::ColumnKey(int c) const
{
    const TColumnMap& codes = m_window.Document().Columns;
    if (Section == ReportSection::File && c < static_cast<int>(codes.size()))
        return QStringLiteral("File code %1").arg(codes[c]);
    return SectionName(Section, c);
}

QString TnewPrinterForm::DeviceKey() const
{
    const TQRCanvas& canvas = *QuickRep1.Canvas();
    return QStringLiteral("%1 %2 %3")
        .arg(canvas.XFactor(), 0, 'g', 17)
        .arg(canvas.YFactor(), 0, 'g', 17)
        .arg(QuickRep1.Page().Font.key());
}

QString TnewPrinterForm::ReportCellText(int c, int r) const
{
    const QString text = Grid->Cell(c, r);
    if (text.isEmpty())
        return text;
    switch (Section) {
    case ReportSection::File:
        if (r < FixedRows)
            return text;
        return FormatNumber(text, ColumnNumberFormat(c), m_separators);
    case ReportSection::Matrix:
        if (c >= FixedCols && r >= FixedRows)
            return FormatNumber(text, TNumberFormat::Integer, m_separators);
        return text;
    default:
        return text;
    }
}

TNumberFormat TnewPrinterForm::ColumnNumberFormat(int c) const
{
    const TColumnMap& columns = Document->Columns;
    const int k = c < static_cast<int>(columns.size()) ? columns[c] : 0;
    if (const std::optional<TNumberFormat> format = ColumnMeaningOf(*Document, k).PrintedFormat)
        return *format;
    if (m_fileFormats.size() != static_cast<size_t>(ColCount)) {
        m_fileFormats.assign(ColCount, TNumberFormat::AsIs);
        m_fileFormatKnown.assign(ColCount, false);
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
    for (int r = FixedRows; r < RowCount; ++r) {
        const QString text = Grid->Cell(c, r).trimmed();
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
    Building = false;
    PageLabel->SetCaption(QStringLiteral("%1 %2 x %3")
                              .arg(Text(Locale().PageTitle))
                              .arg(PageInStrip + 1)
                              .arg(CurrentStrip + 1));
    const bool first = PageInStrip <= 0 && Section == ReportSection::File;
    const bool continued = Section == ReportSection::File && DescriptionPending();
    DescriptionMemo->SetEnabled(first || continued);
    if (first)
        FillDescription();
    if (Section != ReportSection::Idle)
        LayoutSection();
    AlignToRightEdge(*PageLabel);
    // The head text keeps clear of the section caption.
    TitleLabel->SetMaxWidth(std::max(1.0, m_usableWidth - TaskLabel->Width() - 2 * m_charWidth));
    AlignToRightEdge(*TitleLabel);
    if (Section != ReportSection::Idle)
        PlaceStrip();
    // After the strip, which gives the column header this section's height: before it the band
    // has the height of the section placed last, in the printing pass the last of the
    // preparing pass, and the description would take the room of other column titles.
    if (first || continued)
        PlaceDescription();
    if (FirstPagePending) {
        FirstPagePending = false;
        const int currentRow = CurrentRow;
        const int nextRow = NextRow;
        NextRow = CurrentRow;
        bool moreData = true;
        m_inPageStart = true;
        FilesNeedData(QuickRep1, moreData);
        m_inPageStart = false;
        CurrentRow = currentRow;
        NextRow = nextRow;
    }
}

void TnewPrinterForm::FillDescription()
{
    m_descriptionRest.clear();
    m_descriptionNext = 0;
    if (CurrentStrip == 0) {
        m_descriptionSource = m_window.InfoLines;
        m_descriptionSource << QStringLiteral(" ") << Text(Document->CustomerText)
                            << Text(Document->TaskText) << QStringLiteral(" ")
                            << QStringLiteral("%1: %2 %").arg(Text(Locale().NetShareTitle),
                                                               Text(Document->PercentText));
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
    if (!DescriptionPending() && CurrentStrip == 0)
        m_descriptionLines = count;
}

void TnewPrinterForm::QuickRep1EndPage(TQuickRep&)
{
    ++PageInStrip;
}

bool TnewPrinterForm::SingleLogSelected() const
{
    return Section == ReportSection::File && SingleLogNumber > 0 &&
           SingleLogNumber <= RowCount - FixedRows - 2;
}

bool TnewPrinterForm::SingleLogRowPending() const
{
    return SingleLogSelected() && CurrentRow < RowCount - 2;
}

void TnewPrinterForm::FilesNeedData(TQuickRep& report, bool& moreData)
{
    // Nothing selected: the report has no rows (the print command never starts one).
    if (Section == ReportSection::Idle) {
        moreData = false;
        return;
    }
    // A description longer than a page goes on over the next pages before the next row.
    while (DescriptionPending() && !m_inPageStart)
        report.NewPage();
    CurrentRow = NextRow;
    TrailerStep = NextTrailerStep;
    if (TrailerStep == -1) {
        SummaryLabel->SetEnabled(false);
        ResultSeparator->SetEnabled(true);
    } else if (Section == ReportSection::File && CurrentStrip == 0) {
        NextTrailerStep = TrailerStep + 1;
        ResultSeparator->SetEnabled(false);
        HideSectionControls(CurrentLayout(), ColCount);
        moreData = true;
        if (TrailerStep == 2) {
            SummaryLabel->SetEnabled(true);
        } else if (TrailerStep == 3) {
            NextTrailerStep = -1;
            FilesNeedData(report, moreData);
        }
        return;
    }
    if (Section == ReportSection::File)
        ResetMergedCaption();
    ResultSeparator->SetPen([this] {
        QPen pen = ResultSeparator->Pen();
        pen.setStyle(Qt::DotLine);
        return pen;
    }());

    if (CurrentRow < RowCount) {
        FillDetailRow();
        moreData = true;
        NextRow = CurrentRow + 1;
        return;
    }
    if (CurrentStrip < StripCounter) {
        CurrentRow = NextRow = FirstDataRow;
        if (Section == ReportSection::File)
            ResetMergedCaption();
        ++CurrentStrip;
        PageInStrip = -1;
        report.NewPage();
        FilesNeedData(report, moreData);
        return;
    }
    NextSection();
    if (Section != ReportSection::Idle) {
        PageInStrip = -1;
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
    if (ColCount < 1)
        return;
    layout.CellLabels[0]->SetWidth(layout.Columns[0].Width);
    layout.CellLabels[0]->SetAlignment(layout.Columns[0].Alignment == 1 ? Qt::AlignLeft
                                                                        : Qt::AlignRight);
    // The columns under the caption are fixed: every strip shows them.
    for (int c = 1; c < m_captionColumns && c < FixedCols; ++c) {
        layout.CellLabels[c]->SetEnabled(true);
        layout.CellLabels[c]->BringToFront();
        layout.CellLines[c]->SetEnabled(true);
    }
}

void TnewPrinterForm::FillDetailRow()
{
    bool pending = SingleLogRowPending();
    if (pending) {
        const int r = SingleLogNumber + FixedRows - 1;
        if (r >= CurrentRow) {
            CurrentRow = r;
            QPen pen = ResultSeparator->Pen();
            pen.setStyle(Qt::SolidLine);
            ResultSeparator->SetPen(pen);
        } else {
            CurrentRow = RowCount - 2;
        }
        pending = SingleLogRowPending();
    }
    for (int c : VisibleColumns())
        FillDetailCell(c, pending);
}

void TnewPrinterForm::FillDetailCell(int c, bool singleLogRowPending)
{
    SectionLayout& layout = CurrentLayout();
    const int row = CurrentRow - FixedRows;
    QColor colour = row % 2 == 0 ? kWhite : kLightGrey;
    if (const TOptionalColour fill = Grid->Colour(c, CurrentRow))
        colour = QColor(fill->Red, fill->Green, fill->Blue);
    else if (Section == ReportSection::File && SingleLogNumber > 0)
        colour = kWhite;
    layout.CellBackgrounds[c]->SetBrush(colour);

    if (Section == ReportSection::File && CurrentRow >= RowCount - 3 && !singleLogRowPending) {
        if (CurrentRow == RowCount - 3) {
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
            const bool last = CurrentRow == RowCount - 1;
            first.SetCaption((last ? m_window.Sum2Caption : m_window.Sum1Caption).trimmed());
            first.SetAlignment(Qt::AlignLeft);
            if (last)
                NextTrailerStep = 1;
            return;
        }
    }
    layout.CellLabels[c]->SetCaption(ReportCellText(c, CurrentRow));
}

void TnewPrinterForm::FinishRun()
{
    Building = true;
}

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
    int MatrixColumnWidth;
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
    return TPassState{Section,
                      Grid,
                      ColCount,
                      RowCount,
                      FixedCols,
                      FixedRows,
                      CurrentRow,
                      NextRow,
                      FirstDataRow,
                      CurrentStrip,
                      StripCounter,
                      PageInStrip,
                      TrailerStep,
                      NextTrailerStep,
                      MetricsDone,
                      MatrixColumnWidth,
                      Building,
                      FirstPagePending,
                      m_usableWidth,
                      m_charWidth,
                      m_lineHeight,
                      m_layouts,
                      m_descriptionLines,
                      m_descriptionSource,
                      m_descriptionNext,
                      m_descriptionRest,
                      m_inPageStart,
                      m_captionColumns,
                      m_fileFormats,
                      m_fileFormatKnown,
                      m_visibleSection,
                      m_visibleStrip,
                      m_visibleColumns,
                      m_placedSection,
                      m_placedColumns};
}

void TnewPrinterForm::RestorePassState(const std::any& saved)
{
    const auto& state = std::any_cast<const TPassState&>(saved);
    Section = state.Section;
    Grid = state.Grid;
    ColCount = state.ColCount;
    RowCount = state.RowCount;
    FixedCols = state.FixedCols;
    FixedRows = state.FixedRows;
    CurrentRow = state.CurrentRow;
    NextRow = state.NextRow;
    FirstDataRow = state.FirstDataRow;
    CurrentStrip = state.CurrentStrip;
    StripCounter = state.StripCounter;
    PageInStrip = state.PageInStrip;
    TrailerStep = state.TrailerStep;
    NextTrailerStep = state.NextTrailerStep;
    MetricsDone = state.MetricsDone;
    MatrixColumnWidth = state.MatrixColumnWidth;
    Building = state.Building;
    FirstPagePending = state.FirstPagePending;
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
