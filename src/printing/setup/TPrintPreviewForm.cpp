#include "TPrintPreviewForm.h"

#include "Errors.h"
#include "TPreviewPageView.h"
#include "TPrintPreview.h"
#include "TWaitCursor.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <exception>

namespace {

// The zoom list: the two fits, then the fixed sizes.
constexpr int kPercents[] = {50, 75, 100, 125, 150, 200, 300, 400};
constexpr int kFitEntries = 2;
// Counting goes on in slices this long between the window's events.
constexpr int kCountSliceMs = 30;

QToolButton* NavigationButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon,
                              const QString& hint)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    return button;
}

} // namespace

std::function<int(TPrintPreviewForm& form)> TPrintPreviewForm::ShowModal;

TPrintPreviewForm::TPrintPreviewForm(TPrintPreview& preview, QWidget* parent)
    : QDialog(parent)
    , m_preview(preview)
{
    setObjectName(QStringLiteral("PrintPreviewForm"));
    setWindowTitle(QStringLiteral("Seitenansicht"));
    CreateComponents();
    m_counting.setInterval(0);
    connect(&m_counting, &QTimer::timeout, this, [this] {
        if (!CountMore())
            m_counting.stop();
    });
    UpdateControls();
}

TPrintPreviewForm::~TPrintPreviewForm() = default;

void TPrintPreviewForm::CreateComponents()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ToolBar"));
    FirstButton = NavigationButton(bar, "FirstButton", QStyle::SP_MediaSkipBackward,
                                   QStringLiteral("Erste Seite: STRG-POS1"));
    PreviousButton = NavigationButton(bar, "PreviousButton", QStyle::SP_MediaSeekBackward,
                                      QStringLiteral("Vorige Seite: BILD-AUF"));
    PageEdit = new QSpinBox(bar);
    PageEdit->setObjectName(QStringLiteral("PageEdit"));
    PageEdit->setToolTip(QStringLiteral("Seite"));
    PageEdit->setKeyboardTracking(false);
    PageEdit->setMinimumWidth(PageEdit->fontMetrics().horizontalAdvance(QStringLiteral("99999")) +
                              40);
    PageCountLabel = new QLabel(bar);
    PageCountLabel->setObjectName(QStringLiteral("PageCountLabel"));
    NextButton = NavigationButton(bar, "NextButton", QStyle::SP_MediaSeekForward,
                                  QStringLiteral("Nächste Seite: BILD-AB"));
    LastButton = NavigationButton(bar, "LastButton", QStyle::SP_MediaSkipForward,
                                  QStringLiteral("Letzte Seite: STRG-ENDE"));
    ZoomComboBox = new QComboBox(bar);
    ZoomComboBox->setObjectName(QStringLiteral("ZoomComboBox"));
    ZoomComboBox->setToolTip(
        QStringLiteral("Größe der Seite, auch jede zwischen 50 und 400 %: STRG-PLUS, STRG-MINUS"));
    // Any size in the range can be typed; what is typed is not added to the list.
    ZoomComboBox->setEditable(true);
    ZoomComboBox->setInsertPolicy(QComboBox::NoInsert);
    // A number typed means that size, not an entry it happens to begin.
    ZoomComboBox->setCompleter(nullptr);
    ZoomComboBox->lineEdit()->setObjectName(QStringLiteral("ZoomEdit"));
    ZoomComboBox->addItem(QStringLiteral("Seitenbreite"));
    ZoomComboBox->addItem(QStringLiteral("Ganze Seite"));
    for (int percent : kPercents)
        ZoomComboBox->addItem(QStringLiteral("%1 %").arg(percent), percent);
    ZoomComboBox->setCurrentIndex(1);
    ZoomComboBox->setMinimumWidth(
        ZoomComboBox->fontMetrics().horizontalAdvance(QStringLiteral("Seitenbreite")) + 48);
    PartLabel = new QLabel(bar);
    PartLabel->setObjectName(QStringLiteral("PartLabel"));
    PartLabel->setTextFormat(Qt::PlainText);
    PrintButton = new QPushButton(QStringLiteral("&Drucken"), bar);
    PrintButton->setObjectName(QStringLiteral("PrintButton"));
    PrintButton->setToolTip(QStringLiteral("mit dieser Einstellung drucken: ALT-D"));
    PrintButton->setAutoDefault(false);
    CloseButton = new QPushButton(QStringLiteral("Schließen"), bar);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setToolTip(QStringLiteral("Seitenansicht schließen: ESC"));
    CloseButton->setAutoDefault(false);

    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(8, 4, 8, 4);
    for (QWidget* control :
         {static_cast<QWidget*>(FirstButton), static_cast<QWidget*>(PreviousButton),
          static_cast<QWidget*>(PageEdit), static_cast<QWidget*>(PageCountLabel),
          static_cast<QWidget*>(NextButton), static_cast<QWidget*>(LastButton)})
        row->addWidget(control);
    row->addSpacing(16);
    row->addWidget(ZoomComboBox);
    row->addSpacing(16);
    row->addWidget(PartLabel, 1);
    row->addWidget(PrintButton);
    row->addWidget(CloseButton);

    PageView = new TPreviewPageView(this);
    PageView->setObjectName(QStringLiteral("PageView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(PageView, 1);

    connect(FirstButton, &QToolButton::clicked, this, &TPrintPreviewForm::FirstPage);
    connect(PreviousButton, &QToolButton::clicked, this, &TPrintPreviewForm::PreviousPage);
    connect(NextButton, &QToolButton::clicked, this, &TPrintPreviewForm::NextPage);
    connect(LastButton, &QToolButton::clicked, this, &TPrintPreviewForm::LastPage);
    connect(PageEdit, qOverload<int>(&QSpinBox::valueChanged), this,
            [this](int page) { ShowPage(page); });
    connect(ZoomComboBox, qOverload<int>(&QComboBox::activated), this,
            &TPrintPreviewForm::ZoomComboChange);
    connect(ZoomComboBox->lineEdit(), &QLineEdit::editingFinished, this,
            &TPrintPreviewForm::ZoomTextChange);
    connect(PageView, &TPreviewPageView::zoomRequested, this, &TPrintPreviewForm::StepZoom);
    // A fit follows the view's size once the window has it, not the dialog's resize before.
    connect(PageView, &TPreviewPageView::resized, this, [this] {
        if (isVisible() && m_zoom != ZoomMode::Percent)
            Render(false);
    });
    connect(PrintButton, &QPushButton::clicked, this, &TPrintPreviewForm::PrintButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);

    // Key preview: the page keys work wherever the focus is, the page number field too.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);

    resize(960, 720);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        resize(size().boundedTo(screen->availableSize() * 9 / 10));
    setMinimumSize(480, 360);
}

bool TPrintPreviewForm::Execute()
{
    setResult(QDialog::Rejected);
    m_counting.start();
    const int answer = ShowModal ? ShowModal(*this) : exec();
    m_counting.stop();
    return answer == PrintResult;
}

bool TPrintPreviewForm::Guarded(const std::function<void()>& work)
{
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        // The pages known so far can still be looked at; counting does not go on.
        m_counting.stop();
        m_failure = QStringLiteral("Die Seiten können nicht gezeigt werden: ") +
                    QString::fromStdString(ErrorMessage(e));
        UpdateControls();
        return false;
    }
}

void TPrintPreviewForm::ShowPage(int n)
{
    n = std::max(1, n);
    if (n > m_preview.PageCount()) {
        // Counting on as far as the page may take a moment.
        const TWaitCursor wait;
        bool known = false;
        if (!Guarded([&] { known = m_preview.HasPage(n); }) || !known)
            n = std::max(1, m_preview.PageCount());
    }
    if (n == m_page && m_shownPage == n) {
        UpdateControls();
        return;
    }
    m_page = n;
    Render(true);
}

void TPrintPreviewForm::FirstPage() { ShowPage(1); }

void TPrintPreviewForm::PreviousPage() { ShowPage(m_page - 1); }

void TPrintPreviewForm::NextPage() { ShowPage(m_page + 1); }

void TPrintPreviewForm::LastPage()
{
    {
        const TWaitCursor wait;
        Guarded([this] { m_preview.HasPage(INT_MAX); });
    }
    ShowPage(m_preview.PageCount());
}

void TPrintPreviewForm::SetZoom(ZoomMode mode, int percent)
{
    m_zoom = mode;
    m_percent = std::clamp(percent, MinPercent, MaxPercent);
    int index = mode == ZoomMode::PageWidth ? 0 : 1;
    if (mode == ZoomMode::Percent) {
        const auto* found = std::find(std::begin(kPercents), std::end(kPercents), m_percent);
        index = found == std::end(kPercents) ? -1 : kFitEntries + int(found - kPercents);
    }
    ZoomComboBox->setCurrentIndex(index);
    // Also when the entry stays: what was typed gives way to the size shown.
    ZoomComboBox->setEditText(index < 0 ? QStringLiteral("%1 %").arg(m_percent)
                                        : ZoomComboBox->itemText(index));
    Render(false);
}

void TPrintPreviewForm::ZoomComboChange(int index)
{
    if (index == 0)
        SetZoom(ZoomMode::PageWidth);
    else if (index == 1)
        SetZoom(ZoomMode::WholePage);
    else if (index >= kFitEntries)
        SetZoom(ZoomMode::Percent, ZoomComboBox->itemData(index).toInt());
}

void TPrintPreviewForm::ZoomTextChange()
{
    const QString text = ZoomComboBox->currentText().trimmed();
    const int entry = ZoomComboBox->findText(text, Qt::MatchFixedString);
    if (entry >= 0) {
        ZoomComboChange(entry);
        return;
    }
    QString digits = text;
    if (digits.endsWith(QLatin1Char('%')))
        digits.chop(1);
    bool number = false;
    const int percent = digits.trimmed().toInt(&number);
    if (number)
        SetZoom(ZoomMode::Percent, percent);
    else
        SetZoom(m_zoom, m_percent); // not a size: the one shown stays, and its text comes back
}

void TPrintPreviewForm::StepZoom(int steps)
{
    // From a fit, the steps start at the fixed size nearest to it.
    const double perMm = PixelsPerMm();
    const double screenPerMm = logicalDpiX() / 25.4;
    int at = 0;
    for (int i = 0; i < int(std::size(kPercents)); ++i) {
        if (std::abs(kPercents[i] * screenPerMm / 100 - perMm) <
            std::abs(kPercents[at] * screenPerMm / 100 - perMm))
            at = i;
    }
    at = std::clamp(at + steps, 0, int(std::size(kPercents)) - 1);
    SetZoom(ZoomMode::Percent, kPercents[at]);
}

double TPrintPreviewForm::PixelsPerMm() const
{
    const QSizeF paper = m_preview.PageLayout().fullRect(QPageLayout::Millimeter).size();
    const QSize room = PageView->Room();
    double perMm = logicalDpiX() / 25.4 * m_percent / 100.0;
    if (m_zoom == ZoomMode::PageWidth && paper.width() > 0)
        perMm = room.width() / paper.width();
    else if (m_zoom == ZoomMode::WholePage && paper.width() > 0 && paper.height() > 0)
        perMm = std::min(room.width() / paper.width(), room.height() / paper.height());
    return std::max(0.1, perMm);
}

bool TPrintPreviewForm::CountMore()
{
    bool counted = true;
    if (!Guarded([&] { counted = m_preview.CountMore(kCountSliceMs); }))
        return false;
    UpdateControls();
    return !counted;
}

void TPrintPreviewForm::PrintButtonClick() { done(PrintResult); }

void TPrintPreviewForm::Render(bool toTop)
{
    const double perMm = PixelsPerMm();
    if (m_shownPage == m_page && std::abs(perMm - m_shownPerMm) < 1e-9) {
        UpdateControls();
        return;
    }
    QImage image;
    {
        const TWaitCursor wait;
        Guarded([&] { image = m_preview.PageImage(m_page, perMm); });
    }
    m_shownPage = m_page;
    m_shownPerMm = perMm;
    PageView->SetPage(image, toTop);
    UpdateControls();
}

void TPrintPreviewForm::UpdateControls()
{
    const int count = m_preview.PageCount();
    const bool counted = m_preview.Counted();
    {
        const QSignalBlocker quiet(PageEdit);
        PageEdit->setRange(1, counted ? std::max(1, count) : INT_MAX);
        PageEdit->setValue(m_page);
    }
    // A thin space before the ellipsis: the count is still growing.
    PageCountLabel->setText(counted ? QStringLiteral("von %1").arg(count)
                                    : QStringLiteral("von %1 …").arg(count));
    FirstButton->setEnabled(m_page > 1);
    PreviousButton->setEnabled(m_page > 1);
    NextButton->setEnabled(m_page < count || !counted);
    LastButton->setEnabled(m_page < count || !counted);
    const QString part = m_preview.PartName(m_page);
    if (!m_failure.isEmpty())
        PartLabel->setText(m_failure);
    else if (!part.isEmpty())
        PartLabel->setText(
            QStringLiteral("%1, Seite %2").arg(part).arg(m_preview.PageInPart(m_page)));
    else
        PartLabel->clear();
}

bool TPrintPreviewForm::FormKeyDown(const QKeyEvent& event)
{
    const bool ctrl = event.modifiers() & Qt::ControlModifier;
    switch (event.key()) {
    case Qt::Key_PageUp:
        PreviousPage();
        return true;
    case Qt::Key_PageDown:
        NextPage();
        return true;
    case Qt::Key_Home:
        if (ctrl)
            FirstPage();
        return ctrl;
    case Qt::Key_End:
        if (ctrl)
            LastPage();
        return ctrl;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        if (ctrl)
            StepZoom(1);
        return ctrl;
    case Qt::Key_Minus:
        if (ctrl)
            StepZoom(-1);
        return ctrl;
    default:
        return false;
    }
}

bool TPrintPreviewForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && FormKeyDown(*static_cast<QKeyEvent*>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TPrintPreviewForm::keyPressEvent(QKeyEvent* event)
{
    if (FormKeyDown(*event)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TPrintPreviewForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Render(true);
    PageView->setFocus();
}
