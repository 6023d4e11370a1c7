#include "TDocumentEditorForm.h"

#include "Errors.h"
#include "LocalFileName.h"
#include "PrintCommand.h"
#include "ProductInformation.h"
#include "QtText.h"
#include "TAddColInfo.h"
#include "TElidedLabel.h"
#include "TFilesTable.h"
#include "TGridCommands.h"
#include "TLocale.h"
#include "TMatrixTable.h"
#include "TPickList.h"
#include "TPosRegister.h"
#include "TPrintProgressDialog.h"
#include "TPrintSetupState.h"
#include "TQorButton.h"
#include "TRatingsTable.h"
#include "TRegistryAccessor.h"
#include "TReportSource.h"
#include "TStringGrid.h"
#include "TStringList.h"
#include "TTitlePage.h"
#include "TViewerDialogs.h"
#include "TWaitCursor.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char* const kPositionName = "DocumentEditor";
const char* const kPathsKey = "Paths";
const char* const kCurrentDocument = "CurrentDocument";
constexpr int kButtonPanelHeight = 45;
constexpr int kCopyrightPanelHeight = 19;
constexpr int kLegendHeight = 23;
constexpr int kSumPanelHeight = 18;

TDocumentEditorForm* g_mainForm = nullptr;

QFont PixelFont(const QFont& base, int pixels, bool bold = false)
{
    QFont font = base;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A display panel: a label with a lowered inner bevel that can take the focus. Texts are shown
// as they are: a label without buddy shows "&" literally.
QLabel* DisplayPanel(QWidget* parent, const char* name, Qt::Alignment alignment)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment | Qt::AlignVCenter);
    // Its text can be selected with the mouse and copied; no text cursor changes its look.
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // After the interaction flags, which would make it take the focus by click only.
    label->setFocusPolicy(Qt::StrongFocus);
    return label;
}

TQorButton* BarButton(QWidget* parent, const char* name, int left, int width, const QString& text,
                      const QString& hint, uint16_t keyCode, const QIcon& glyph = QIcon())
{
    auto* button = new TQorButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, 10, width, 25);
    button->setText(text);
    button->setToolTip(hint);
    button->SetKeyCode(keyCode);
    if (!glyph.isNull()) {
        button->SetGlyph(glyph);
        button->setToolButtonStyle(text.isEmpty() ? Qt::ToolButtonIconOnly
                                                  : Qt::ToolButtonTextBesideIcon);
    }
    return button;
}

// The desktop's printer where its icon theme has one, else the program's own.
QIcon PrinterGlyph()
{
    return QIcon::fromTheme(QStringLiteral("document-print"),
                            QIcon(QStringLiteral(":/icons/document-print.svg")));
}

} // namespace

std::function<void(TDocumentEditorForm&)> TDocumentEditorForm::PrintCommand =
    [](TDocumentEditorForm& window) {
        // The report reads the same page data the window shows, built from its document.
        const TReportSource source(window.Document());
        TPrintProgressDialog progress(&window);
        PrintStatisticsLog(source, window.PrintSetupState(), &progress);
    };

std::function<void(TDocumentEditorForm&)> TDocumentEditorForm::PreviewCommand =
    [](TDocumentEditorForm& window) {
        const TReportSource source(window.Document());
        TPrintProgressDialog progress(&window);
        PrintStatisticsLog(source, window.PrintSetupState(), &progress, TPrintStart::Preview);
    };

QIcon TDocumentEditorForm::ApplicationIcon()
{
    return QIcon(QStringLiteral(":/icons/zelmoraviewer.svg"));
}

TDocumentEditorForm* TDocumentEditorForm::MainForm() { return g_mainForm; }

void TDocumentEditorForm::SetMainForm(TDocumentEditorForm* form) { g_mainForm = form; }

TDocumentEditorForm::TDocumentEditorForm(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("DocumentEditorForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Statistik-Protokoll"));
    setWindowIcon(ApplicationIcon());
    resize(792, 518);
    setMinimumSize(400, 360);
    CreateComponents();
    FormCreate();
}

TDocumentEditorForm::~TDocumentEditorForm() { FormDestroy(); }

void TDocumentEditorForm::CreateComponents()
{
    EmptyPanel = new QLabel(QStringLiteral("kein Statistik-Protokoll vorhanden"), this);
    EmptyPanel->setObjectName(QStringLiteral("EmptyPanel"));
    EmptyPanel->setAlignment(Qt::AlignCenter);
    EmptyPanel->setFont(PixelFont(font(), 16));
    EmptyPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);

    EditorPanel = new QWidget(this);
    EditorPanel->setObjectName(QStringLiteral("EditorPanel"));
    EditorPanel->hide();
    PageControl = new QTabWidget(EditorPanel);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setFocusPolicy(Qt::NoFocus);
    PageControl->tabBar()->setFocusPolicy(Qt::NoFocus);
    PageControl->addTab(CreateTitleSheet(), QStringLiteral("&Titel"));
    PageControl->addTab(CreateFilesSheet(), QStringLiteral("&Dateien"));
    PageControl->addTab(CreateMatrixSheet(), QStringLiteral("&Matrix"));
    PageControl->addTab(CreateRatingsSheet(), QStringLiteral("&Ratings"));
    auto* editorLayout = new QVBoxLayout(EditorPanel);
    editorLayout->setContentsMargins(0, 0, 0, 0);
    editorLayout->addWidget(PageControl);
    connect(PageControl, &QTabWidget::currentChanged, this,
            &TDocumentEditorForm::PageControlChange);
    PageControl->installEventFilter(this);
    TitleSheet->installEventFilter(this);

    CreateGridCommands();
    CreateButtonPanel();
    CopyrightPanel = new QLabel(this);
    CopyrightPanel->setObjectName(QStringLiteral("CopyrightPanel"));
    CopyrightPanel->setTextFormat(Qt::PlainText);
    CopyrightPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    CopyrightPanel->setAlignment(Qt::AlignCenter);
    LayoutClientArea();
}

QWidget* TDocumentEditorForm::CreateTitleSheet()
{
    TitleSheet = new QWidget;
    TitleSheet->setObjectName(QStringLiteral("TitleSheet"));
    TopPanel = new QFrame(TitleSheet);
    TopPanel->setObjectName(QStringLiteral("TopPanel"));
    TopPanel->setFixedHeight(89);
    HeadDisplay = DisplayPanel(TopPanel, "HeadDisplay", Qt::AlignHCenter);
    HeadDisplay->setFont(PixelFont(font(), 12, true));
    HeadDisplay->setGeometry(24, 16, 700, 33);
    CustomerDisplay = DisplayPanel(TopPanel, "CustomerDisplay", Qt::AlignLeft);
    CustomerDisplay->setGeometry(24, 56, 700, 25);

    InfoMemo = new QPlainTextEdit(TitleSheet);
    InfoMemo->setObjectName(QStringLiteral("InfoMemo"));
    InfoMemo->setReadOnly(true);
    InfoMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    InfoMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    InfoMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont fixed(QStringLiteral("Courier New"));
    fixed.setStyleHint(QFont::Monospace);
    fixed.setPixelSize(13);
    InfoMemo->setFont(fixed);
    QPalette memoPalette = InfoMemo->palette();
    memoPalette.setColor(QPalette::Base, memoPalette.color(QPalette::Window));
    InfoMemo->setPalette(memoPalette);

    BottomPanel = new QFrame(TitleSheet);
    BottomPanel->setObjectName(QStringLiteral("BottomPanel"));
    BottomPanel->setFixedHeight(79);
    TaskDisplay = DisplayPanel(BottomPanel, "TaskDisplay", Qt::AlignLeft);
    TaskDisplay->setGeometry(24, 8, 700, 25);
    Label1 = new QLabel(QStringLiteral("Netto-Anteil"), BottomPanel);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(32, 50);
    Label1->adjustSize();
    PercentDisplay = DisplayPanel(BottomPanel, "PercentDisplay", Qt::AlignLeft);
    PercentDisplay->setGeometry(std::max(96, 32 + Label1->width() + 8), 44, 81, 25);
    SingleNrDisplay = DisplayPanel(BottomPanel, "SingleNrDisplay", Qt::AlignRight);
    SingleNrDisplay->setGeometry(587, 44, 137, 25);

    auto* layout = new QVBoxLayout(TitleSheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(TopPanel);
    layout->addWidget(InfoMemo, 1);
    layout->addWidget(BottomPanel);
    return TitleSheet;
}

QWidget* TDocumentEditorForm::CreateFilesSheet()
{
    FilesSheet = new QWidget;
    FilesSheet->setObjectName(QStringLiteral("FilesSheet"));
    FilesGrid = new TStringGrid(FilesSheet);
    FilesGrid->setObjectName(QStringLiteral("FilesGrid"));
    LegendPanel = new TElidedLabel(FilesSheet);
    LegendPanel->setObjectName(QStringLiteral("LegendPanel"));
    LegendPanel->setTextFormat(Qt::PlainText);
    LegendPanel->setFixedHeight(kLegendHeight);
    LegendPanel->setFont(PixelFont(font(), 9 + 3));
    LegendPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    LegendPanel->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(FilesSheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(FilesGrid, 1);
    layout->addWidget(LegendPanel);

    for (QLabel** panel : {&Sum1Panel, &Sum2Panel}) {
        *panel = new QLabel(FilesSheet);
        (*panel)->setTextFormat(Qt::PlainText);
        (*panel)->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        (*panel)->setAutoFillBackground(true);
        (*panel)->setFrameStyle(QFrame::Panel | QFrame::Raised);
        (*panel)->setGeometry(2, 2, 100, kSumPanelHeight);
        (*panel)->hide();
    }
    Sum1Panel->setObjectName(QStringLiteral("Sum1Panel"));
    Sum2Panel->setObjectName(QStringLiteral("Sum2Panel"));
    connect(FilesGrid, &TStringGrid::topLeftChanged, this, &TDocumentEditorForm::PlaceSumPanels);
    FilesGrid->SetOnDrawCell(
        [this](int col, int row, const QRect& rect, TStringGrid::DrawState, QPainter& painter) {
            FilesGridDrawCell(col, row, rect, painter);
        });
    return FilesSheet;
}

QWidget* TDocumentEditorForm::CreateMatrixSheet()
{
    MatrixSheet = new QWidget;
    MatrixSheet->setObjectName(QStringLiteral("MatrixSheet"));
    MatrixTypePanel = new TElidedLabel(MatrixSheet);
    MatrixTypePanel->setObjectName(QStringLiteral("MatrixTypePanel"));
    MatrixTypePanel->setTextFormat(Qt::PlainText);
    MatrixTypePanel->setFixedHeight(kLegendHeight);
    MatrixTypePanel->setFont(PixelFont(font(), 9 + 3));
    MatrixTypePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    MatrixTypePanel->setAlignment(Qt::AlignCenter);
    MatrixGrid = new TStringGrid(MatrixSheet);
    MatrixGrid->setObjectName(QStringLiteral("MatrixGrid"));
    MatrixGrid->SetOnDrawCell(
        [this](int col, int row, const QRect& rect, TStringGrid::DrawState, QPainter& painter) {
            MatrixGridDrawCell(col, row, rect, painter);
        });
    auto* layout = new QVBoxLayout(MatrixSheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(MatrixTypePanel);
    layout->addWidget(MatrixGrid, 1);
    return MatrixSheet;
}

QWidget* TDocumentEditorForm::CreateRatingsSheet()
{
    RatingsSheet = new QWidget;
    RatingsSheet->setObjectName(QStringLiteral("RatingsSheet"));
    RatingsGrid = new TStringGrid(RatingsSheet);
    RatingsGrid->setObjectName(QStringLiteral("RatingsGrid"));
    RatingsGrid->SetColCount(2);
    auto* layout = new QVBoxLayout(RatingsSheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RatingsGrid);
    return RatingsSheet;
}

void TDocumentEditorForm::CreateGridCommands()
{
    const auto shown = [](const TStringGrid* grid) {
        return [grid](int col, int row) { return grid->Cell(col, row); };
    };
    FilesCommands =
        new TGridCommands(*FilesGrid, *this, "files", QStringLiteral("Dateien"),
                          [this](int col, int row) { return FilesGridShownText(col, row); });
    MatrixCommands = new TGridCommands(*MatrixGrid, *this, "matrix", QStringLiteral("Matrix"),
                                       shown(MatrixGrid));
    RatingsCommands = new TGridCommands(*RatingsGrid, *this, "ratings", QStringLiteral("Ratings"),
                                        shown(RatingsGrid));
}

QWidget* TDocumentEditorForm::CreateButtonPanel()
{
    ButtonPanel = new QWidget(this);
    ButtonPanel->setObjectName(QStringLiteral("ButtonPanel"));
    CloseButton = BarButton(ButtonPanel, "CloseButton", 18, 49, QStringLiteral("Ende"),
                            QStringLiteral("Protokoll-Editor schließen: ALT-F4"), 0);
    LoadButton = BarButton(ButtonPanel, "LoadButton", 88, 25, QString(),
                           QStringLiteral("Statistik-Protokoll laden: ALT-L"), 76,
                           style()->standardIcon(QStyle::SP_DialogOpenButton));
    AboutButton = BarButton(ButtonPanel, "AboutButton", 128, 73, QStringLiteral("Info"),
                            QStringLiteral("Produkt-Information: ALT-I"), 73,
                            style()->standardIcon(QStyle::SP_MessageBoxInformation));
    PrintButton =
        BarButton(ButtonPanel, "PrintButton", 216, 25, QString(),
                  QStringLiteral("Statistik-Protokoll ausdrucken: ALT-P"), 80, PrinterGlyph());
    connect(CloseButton, &QToolButton::clicked, this, &TDocumentEditorForm::CloseButtonClick);
    connect(LoadButton, &QToolButton::clicked, this, &TDocumentEditorForm::LoadButtonClick);
    connect(AboutButton, &QToolButton::clicked, this, &TDocumentEditorForm::AboutButtonClick);
    connect(PrintButton, &QToolButton::clicked, this, &TDocumentEditorForm::PrintButtonClick);

    LocaleCombo = new TPickList(ButtonPanel);
    LocaleCombo->setObjectName(QStringLiteral("LocaleCombo"));
    LocaleCombo->setGeometry(249, 11, 89, 23);
    LocaleCombo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(LocaleCombo, qOverload<int>(&QComboBox::activated), this,
            &TDocumentEditorForm::LocaleComboChange);
    return ButtonPanel;
}

void TDocumentEditorForm::LayoutClientArea()
{
    const int w = width();
    const int bottom = height() - kCopyrightPanelHeight;
    CopyrightPanel->setGeometry(0, bottom, w, kCopyrightPanelHeight);
    ButtonPanel->setGeometry(0, bottom - kButtonPanelHeight, w, kButtonPanelHeight);
    const QRect client(0, 0, w, bottom - kButtonPanelHeight);
    EmptyPanel->setGeometry(client);
    EditorPanel->setGeometry(client);
}

void TDocumentEditorForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayoutClientArea();
}

// The language list adapter: items with their base as data.
namespace {
class TComboStrings : public TStrings {
public:
    explicit TComboStrings(QComboBox& combo)
        : m_combo(combo)
    {
    }
    void Clear() override { m_combo.clear(); }
    void Add(const std::string& text, int32_t object) override
    {
        m_combo.addItem(FromCp1252(text), object);
    }

private:
    QComboBox& m_combo;
};
} // namespace

void TDocumentEditorForm::FormCreate()
{
    LayoutClientArea();
    PageControl->setCurrentWidget(TitleSheet);
    m_posRegister = std::make_unique<TPosRegister>(this, QString::fromLatin1(kPositionName));
    Guarded([this] { m_posRegister->Restore(); });
    for (TStringGrid* grid : {FilesGrid, MatrixGrid, RatingsGrid})
        grid->SetOnShowFailure([this](std::exception_ptr failure) { PageFailed(failure); });
    m_appTitle = QString::fromLatin1(kDefaultAppTitle);
    m_printSetupState = std::make_unique<TPrintSetupState>(1);
    m_document = std::make_unique<TMatchDocument>();
    m_fileName.clear();
    // A label without buddy shows "&" as it is, so the notice needs no escaping here.
    CopyrightPanel->setText(QString::fromUtf8(kProductVersion) + QLatin1Char(' ') +
                            QString::fromUtf8(kMakerNotice));
    Sum1Panel->setText(FromCp1252(TFilesTable::Sum1Caption()));
    Sum2Panel->setText(FromCp1252(TFilesTable::Sum2Caption()));
    UpdateCaption();
    UpdateState();
    ReadCurrentDocument();
    setAcceptDrops(true);
    TComboStrings items(*LocaleCombo);
    Locale().FillLocaleList(&items);
    LocaleCombo->setCurrentIndex(0);
    // Designed for a narrower font: the longest language name must still show whole.
    LocaleCombo->resize(std::max(89, LocaleCombo->sizeHint().width()), LocaleCombo->height());
    qApp->installEventFilter(this);
}

void TDocumentEditorForm::FormDestroy()
{
    qApp->removeEventFilter(this);
    if (g_mainForm == this)
        g_mainForm = nullptr;
    // The row-0 objects go with the grid; the page data before the document it points into.
    m_filesTable.reset();
    m_matrixTable.reset();
    m_ratingsTable.reset();
    m_document.reset();
    m_printSetupState.reset();
    m_posRegister.reset();
}

void TDocumentEditorForm::Guarded(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& e) {
        TViewerDialogs::Current().ShowError(this, FromUtf8(ErrorMessage(e)));
    }
}

void TDocumentEditorForm::PageFailed(std::exception_ptr failure)
{
    if (m_pageFailurePending)
        return;
    m_pageFailurePending = true;
    QTimer::singleShot(0, this, [this, failure] {
        m_pageFailurePending = false;
        DropLog();
        Guarded([failure] { std::rethrow_exception(failure); });
    });
}

void TDocumentEditorForm::DropLog()
{
    for (TStringGrid* grid : {FilesGrid, MatrixGrid, RatingsGrid})
        grid->SetCellTextSource(nullptr);
    m_filesTable.reset();
    m_matrixTable.reset();
    m_ratingsTable.reset();
    m_document->Clear();
    SetFileName(QString());
    UpdateCaption();
    UpdateState();
}

void TDocumentEditorForm::SetAppTitle(const QString& text)
{
    m_appTitle = text;
    UpdateCaption();
}

void TDocumentEditorForm::SetFileName(const QString& path)
{
    m_fileName = path;
    if (!path.isEmpty())
        m_loadDialogFileName = path;
}

void TDocumentEditorForm::UpdateCaption()
{
    const QString kindName = FromCp1252(Locale().StatisticTitle + "-" + Locale().ProtocolTitle);
    QString caption = m_appTitle + QStringLiteral(" - ") + kindName;
    if (!m_fileName.isEmpty())
        caption += QStringLiteral(" - ") + ShownFileName(m_fileName);
    setWindowTitle(caption);
}

void TDocumentEditorForm::UpdateState()
{
    // Without a log the keys go to the empty panel, never to the language list; with one the
    // panel lies covered under the pages and must not take the focus from them (Tab).
    EmptyPanel->setFocusPolicy(m_fileName.isEmpty() ? Qt::StrongFocus : Qt::NoFocus);
    if (m_fileName.isEmpty()) {
        EditorPanel->hide();
        LoadButton->setEnabled(true);
        PrintButton->setEnabled(false);
        return;
    }
    EditorPanel->show();
    LoadButton->setEnabled(true);
    PrintButton->setEnabled(true);
    FillPages();
}

void TDocumentEditorForm::LoadFile(const QString& path)
{
    bool loaded = false;
    std::exception_ptr failure;
    {
        const TWaitCursor wait;
        try {
            SetFileName(QString());
            m_document->LoadFromFile(FileNameBytes(path).toStdString());
            SetFileName(path);
            loaded = true;
        } catch (...) {
            failure = std::current_exception();
        }
        UpdateCaption();
        try {
            UpdateState();
        } catch (...) {
            // The pages could not be built (memory ran out): the log is not shown after all.
            failure = std::current_exception();
            loaded = false;
            DropLog();
        }
        // Whichever way the load went, the keys go to what the window shows now.
        FocusPage();
    }
    if (failure)
        std::rethrow_exception(failure);
    if (loaded)
        WriteCurrentDocument();
}

bool TDocumentEditorForm::LoadFileReported(const QString& path)
{
    try {
        LoadFile(path);
        return true;
    } catch (const std::exception& e) {
        // The message may not say which log it was: the path follows on a line of its own.
        TViewerDialogs::Current().ShowError(this, FromUtf8(ErrorMessage(e)) + QLatin1Char('\n') +
                                                      ShownFileName(path));
        return false;
    }
}

void TDocumentEditorForm::ReadCurrentDocument()
{
    TRegistryAccessor* registry = TRegistryAccessor::shared();
    QString path;
    if (registry &&
        registry->openKeyReadOnly(registry->keyUnderRoot(QString::fromLatin1(kPathsKey)))) {
        try {
            path = registry->readString(QString::fromLatin1(kCurrentDocument));
        } catch (const std::exception&) {
            // No stored path yet: the dialog starts where it would anyway.
        }
        registry->closeKey();
    }
    m_loadDialogFileName = path;
}

void TDocumentEditorForm::WriteCurrentDocument()
{
    TRegistryAccessor* registry = TRegistryAccessor::shared();
    if (!registry ||
        !registry->openKey(registry->keyUnderRoot(QString::fromLatin1(kPathsKey)), true))
        return;
    registry->writeString(QString::fromLatin1(kCurrentDocument), m_fileName);
    registry->closeKey();
}

void TDocumentEditorForm::CloseButtonClick() { close(); }

void TDocumentEditorForm::LoadButtonClick()
{
    if (!LoadButton->isEnabled())
        return;
    const QString path =
        ChosenFileName(TViewerDialogs::Current().ChooseLogFile(this, m_loadDialogFileName));
    if (!path.isEmpty())
        LoadFileReported(path);
}

void TDocumentEditorForm::AboutButtonClick()
{
    if (!AboutButton->isVisible())
        return;
    Guarded([this] { ShowProductInformation(this, m_appTitle); });
}

void TDocumentEditorForm::PrintButtonClick()
{
    if (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier) {
        PrintPreviewClick();
        return;
    }
    if (!PrintButton->isEnabled() || !PrintCommand || m_printing)
        return;
    // The print shows its progress and lets the window repaint: the window stays as it is
    // until the print is over.
    const QScopedValueRollback<bool> printing(m_printing, true);
    Guarded([this] { PrintCommand(*this); });
}

void TDocumentEditorForm::PrintPreviewClick()
{
    if (!PrintButton->isEnabled() || !PreviewCommand || m_printing)
        return;
    const QScopedValueRollback<bool> printing(m_printing, true);
    Guarded([this] { PreviewCommand(*this); });
}

void TDocumentEditorForm::DropFiles(const QStringList& paths)
{
    const QString first = paths.isEmpty() ? QString() : paths.first();
    if (LoadButton->isEnabled())
        LoadFileReported(first);
}

void TDocumentEditorForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TDocumentEditorForm::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        // Its percent-encoded bytes, not toLocalFile(): a name that is not UTF-8 stays whole.
        if (url.isLocalFile())
            paths << FileNameFromBytes(
                QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
    }
    event->acceptProposedAction();
    // The drop is finished before the load can show a message box.
    QTimer::singleShot(0, this, [this, paths] { DropFiles(paths); });
}

void TDocumentEditorForm::LocaleComboChange(int index)
{
    // Runs from the list's event handler, which nothing may leave by an exception.
    Guarded([this, index] { SwitchLanguage(index); });
}

void TDocumentEditorForm::SwitchLanguage(int index)
{
    const int base = LocaleCombo->itemData(index).toInt();
    // Picking the language already shown changes nothing: no new window, no reload, and the
    // print choices stay.
    if (index < 0 || base == Locale().Base)
        return;
    const QString fileName = m_fileName;
    const QString bottomText = CopyrightPanel->text();
    const bool wasMain = g_mainForm == this;
    const QRect bounds = geometry();

    TDocumentEditorForm* successor = nullptr;
    {
        const TWaitCursor wait;
        const int32_t previousBase = Locale().Base;
        Locale().SetBase(base);
        m_posRegister->Save();
        std::unique_ptr<TDocumentEditorForm> created;
        try {
            created = std::make_unique<TDocumentEditorForm>();
        } catch (...) {
            // Without a new window this one stays, in its language.
            Locale().SetBase(previousBase);
            const QSignalBlocker quiet(LocaleCombo);
            LocaleCombo->setCurrentIndex(LocaleCombo->findData(previousBase));
            throw;
        }
        deleteLater();
        hide();

        successor = created.release();
        {
            const QSignalBlocker quiet(successor->LocaleCombo);
            successor->LocaleCombo->setCurrentIndex(index);
        }
        if (wasMain || !g_mainForm)
            g_mainForm = successor;
        successor->setGeometry(bounds);
        successor->CopyrightPanel->setText(bottomText);
        successor->show();
        successor->FocusPage();
    }
    // The new window shows in any case; a reload that fails leaves it without a log. The load
    // has a wait cursor of its own, gone before its message shows.
    if (!fileName.isEmpty())
        successor->LoadFileReported(fileName);
}

void TDocumentEditorForm::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && m_posRegister)
        m_posRegister->Save();
}

void TDocumentEditorForm::closeEvent(QCloseEvent* event)
{
    // The print reads this window's page data until it is over or cancelled.
    if (m_printing) {
        event->ignore();
        return;
    }
    if (m_posRegister)
        m_posRegister->Save();
    QWidget::closeEvent(event);
}

bool TDocumentEditorForm::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == PageControl || watched == TitleSheet) && event->type() == QEvent::Resize)
        PageControlResize();
    // The page control hears of a new size before the grid inside it has taken its own: the
    // sum captions follow the grid's rows once they have moved (the filter is the
    // application's, so it sees the viewport too).
    if (watched == FilesGrid->viewport() && event->type() == QEvent::Resize &&
        PageControl->currentWidget() == FilesSheet)
        PlaceSumPanels();
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (FormKeyDown(key->key(), key->modifiers()))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool TDocumentEditorForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    switch (key) {
    case Qt::Key_F6:
        SelectNextPage(!(modifiers & Qt::ShiftModifier));
        return true;
    case Qt::Key_F9:
        if (QWidget* main = g_mainForm ? g_mainForm : this) {
            main->show();
            main->raise();
            main->activateWindow();
        }
        return true;
    case Qt::Key_P:
        if ((modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) !=
            (Qt::ControlModifier | Qt::ShiftModifier))
            return false;
        PrintPreviewClick();
        return true;
    case Qt::Key_F12:
        close();
        return true;
    default:
        return false;
    }
}

void TDocumentEditorForm::SelectNextPage(bool forward)
{
    const int count = PageControl->count();
    int index = PageControl->currentIndex();
    for (int step = 0; step < count; ++step) {
        index = (index + (forward ? 1 : count - 1)) % count;
        if (PageControl->isTabVisible(index)) {
            PageControl->setCurrentIndex(index);
            return;
        }
    }
}

void TDocumentEditorForm::PageControlChange()
{
    LocaleCombo->move(PrintButton->x() + PrintButton->width() + 8, LocaleCombo->y());
    FocusPage();
    if (PageControl->currentWidget() == FilesSheet)
        PlaceSumPanels();
}

void TDocumentEditorForm::FocusPage()
{
    if (m_fileName.isEmpty()) {
        EmptyPanel->setFocus();
        return;
    }
    QWidget* page = PageControl->currentWidget();
    if (page == TitleSheet)
        InfoMemo->setFocus();
    else if (page == FilesSheet)
        FilesGrid->setFocus();
    else if (page == MatrixSheet)
        MatrixGrid->setFocus();
    else if (page == RatingsSheet)
        RatingsGrid->setFocus();
}

void TDocumentEditorForm::PageControlResize()
{
    const int pageWidth = TitleSheet->width();
    for (QLabel* display : {CustomerDisplay, HeadDisplay, TaskDisplay})
        display->resize(std::max(0, pageWidth - 2 * display->x()), display->height());
    SingleNrDisplay->move(TaskDisplay->x() + TaskDisplay->width() - SingleNrDisplay->width(),
                          SingleNrDisplay->y());
    if (PageControl->currentWidget() == FilesSheet)
        PlaceSumPanels();
    if (PageControl->isTabVisible(PageControl->indexOf(RatingsSheet)))
        FitRatingsColumn();
}
