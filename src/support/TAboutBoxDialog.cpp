#include "TAboutBoxDialog.h"

#include "TQORUrlLabel.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <iterator>

namespace {

enum class SlotKind { Text, Web, Mail };

struct SlotDesign {
    int page;
    const char* name;
    SlotKind kind;
    QColor color; // invalid: the window text colour
};

// Slot i of the box is entry i - 1.
const SlotDesign kSlots[] = {
    {TAboutBoxDialog::ProduktPage, "ProduktName", SlotKind::Text, QColor()},
    {TAboutBoxDialog::ProduktPage, "ProduktVersion", SlotKind::Text, QColor()},
    {TAboutBoxDialog::ProduktPage, "ProduktDatum", SlotKind::Text, QColor()},
    {TAboutBoxDialog::ProduktPage, "Lizenz", SlotKind::Text, QColor()},
    {TAboutBoxDialog::ProduktPage, "Copyright", SlotKind::Text, QColor(0x80, 0x00, 0x00)},
    {TAboutBoxDialog::VertriebPage, "VertriebAdresse", SlotKind::Text, QColor()},
    {TAboutBoxDialog::VertriebPage, "VertriebWeb", SlotKind::Web, QColor(0x00, 0x80, 0x80)},
    {TAboutBoxDialog::VertriebPage, "VertriebEMail", SlotKind::Mail, QColor(0x00, 0x00, 0x80)},
    {TAboutBoxDialog::VertriebPage, "VertriebHotline", SlotKind::Text, QColor(0xFF, 0x00, 0x00)},
    {TAboutBoxDialog::KundePage, "KundeAdresse", SlotKind::Text, QColor()},
    {TAboutBoxDialog::KundePage, "KundeEMail", SlotKind::Mail, QColor(0x00, 0x00, 0x80)},
    {TAboutBoxDialog::KundePage, "KundeWeb", SlotKind::Web, QColor(0x00, 0x80, 0x80)},
    {TAboutBoxDialog::KundePage, "KundeTelNr", SlotKind::Text, QColor()},
    {TAboutBoxDialog::HerstellerPage, "HerstellerAdresse", SlotKind::Text, QColor()},
    {TAboutBoxDialog::HerstellerPage, "HerstellerWeb", SlotKind::Web, QColor(0x00, 0x80, 0x80)},
    {TAboutBoxDialog::HerstellerPage, "HerstellerEMail", SlotKind::Mail, QColor(0x00, 0x00, 0x80)},
};

const char kTagProperty[] = "Tag";

// The slots are laid out 20 pixels apart with 15 pixels for each further line of a label, so
// the font must not need more than 15 pixels per line. The designed face is rarely installed;
// whatever stands in for it is made small enough to keep within those steps.
QFont slotFont(const QFont& base)
{
    QFont font = base;
    font.setFamilies({QStringLiteral("MS Sans Serif"), base.family()});
    font.setBold(true);
    for (int pixels = 13; pixels >= 9; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).lineSpacing() <= 15)
            break;
    }
    return font;
}

void setTextColor(QWidget* widget, const QColor& color)
{
    QPalette colours = widget->palette();
    colours.setColor(QPalette::WindowText, color);
    widget->setPalette(colours);
}

} // namespace

TAboutBoxDialog::TAboutBoxDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setFixedSize(504, 370);

    m_pcPages = new QTabWidget(this);
    m_pcPages->setObjectName(QStringLiteral("pcPages"));
    m_pcPages->setGeometry(0, 0, 504, 369);
    m_tsProdukt = addSheet(QString::fromUtf8("&Produkt"), ProduktPage);
    m_tsKunde = addSheet(QString::fromUtf8("&Kunde"), KundePage);
    m_tsVertrieb = addSheet(QString::fromUtf8("&Vertrieb"), VertriebPage);
    m_tsHersteller = addSheet(QString::fromUtf8("&Hersteller"), HerstellerPage);
    m_tsProdukt->setObjectName(QStringLiteral("tsProdukt"));
    m_tsKunde->setObjectName(QStringLiteral("tsKunde"));
    m_tsVertrieb->setObjectName(QStringLiteral("tsVertrieb"));
    m_tsHersteller->setObjectName(QStringLiteral("tsHersteller"));

    m_btnClose = new QPushButton(QString::fromUtf8("&Schließen"), m_tsProdukt);
    m_btnClose->setObjectName(QStringLiteral("btnClose"));
    m_btnClose->setToolTip(QString::fromUtf8("Infofenster schließen"));
    m_btnClose->setDefault(true);
    connect(m_btnClose, &QPushButton::clicked, this, &QDialog::accept);

    connect(m_pcPages, &QTabWidget::currentChanged, this, &TAboutBoxDialog::pcPagesChange);
    FormCreate();
}

QWidget* TAboutBoxDialog::addSheet(const QString& caption, int page)
{
    auto* sheet = new QWidget;
    auto* panel = new QWidget(sheet);
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    panel->setPalette(white);
    auto* fill = new QVBoxLayout(sheet);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(panel);

    auto* image = new QLabel(panel);
    image->move(8, 8);
    image->hide();
    m_images[page - 1] = image;

    for (int index = 1; index <= int(std::size(kSlots)); ++index) {
        if (kSlots[index - 1].page == page)
            addSlot(panel, page, index);
    }
    m_pcPages->addTab(sheet, caption);
    return sheet;
}

void TAboutBoxDialog::addSlot(QWidget* panel, int page, int index)
{
    const SlotDesign& design = kSlots[index - 1];
    const int tag = page * 100 + index;

    QLabel* label = nullptr;
    if (design.kind == SlotKind::Text) {
        label = new QLabel(panel);
    } else {
        auto* link = new TQORUrlLabel(panel);
        link->SetURLType(design.kind == SlotKind::Web ? TQORUrlLabel::utHTTP
                                                      : TQORUrlLabel::utMail);
        link->SetUseCaption(true);
        // Leaving the link must bring back its own colour, not the label default black.
        link->SetInactiveColor(design.color);
        link->setCursor(Qt::PointingHandCursor);
        label = link;
    }
    label->setObjectName(QStringLiteral("lbl") + QLatin1String(design.name));
    label->setProperty(kTagProperty, tag);
    label->setFont(slotFont(label->font()));
    label->setTextFormat(Qt::PlainText);
    if (design.color.isValid())
        setTextColor(label, design.color);
    label->move(56, 0);
    label->hide();

    auto* bullet = new QWidget(panel);
    bullet->setObjectName(QStringLiteral("shp") + QLatin1String(design.name));
    bullet->setProperty(kTagProperty, tag);
    bullet->setAutoFillBackground(true);
    QPalette black = bullet->palette();
    black.setColor(QPalette::Window, Qt::black);
    bullet->setPalette(black);
    bullet->setGeometry(40, 4, 9, 9);
    bullet->hide();
}

QWidget* TAboutBoxDialog::Sheet(int page) const
{
    switch (page) {
    case ProduktPage:
        return m_tsProdukt;
    case KundePage:
        return m_tsKunde;
    case VertriebPage:
        return m_tsVertrieb;
    case HerstellerPage:
        return m_tsHersteller;
    default:
        return nullptr;
    }
}

QLabel* TAboutBoxDialog::Image(int page) const
{
    return page >= ProduktPage && page <= HerstellerPage ? m_images[page - 1] : nullptr;
}

int TAboutBoxDialog::Tag(const QObject* object)
{
    return object ? object->property(kTagProperty).toInt() : 0;
}

QLabel* TAboutBoxDialog::SlotLabel(int index) const
{
    const auto labels = findChildren<QLabel*>();
    for (QLabel* label : labels) {
        const int tag = Tag(label);
        if (tag != 0 && tag % 100 == index)
            return label;
    }
    return nullptr;
}

QWidget* TAboutBoxDialog::SlotBullet(int index) const
{
    const auto widgets = findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        const int tag = Tag(widget);
        if (tag != 0 && tag % 100 == index && !qobject_cast<QLabel*>(widget))
            return widget;
    }
    return nullptr;
}

void TAboutBoxDialog::SetKeyHandlers(TKeyHandler keyDown, TKeyHandler keyPress, TKeyHandler keyUp)
{
    m_onKeyDown = std::move(keyDown);
    m_onKeyPress = std::move(keyPress);
    m_onKeyUp = std::move(keyUp);
    // Only the application sees a key before the focused control does; the filter goes away
    // with the window.
    if (m_onKeyDown || m_onKeyPress || m_onKeyUp)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

void TAboutBoxDialog::FormCreate()
{
    m_pcPages->setCurrentWidget(m_tsProdukt);
    pcPagesChange(m_pcPages->currentIndex());
}

void TAboutBoxDialog::pcPagesChange(int index)
{
    QWidget* page = m_pcPages->widget(index);
    if (!page)
        return;
    m_btnClose->setParent(page);
    m_btnClose->setGeometry(384, 296, 105, 33);
    m_btnClose->raise();
    m_btnClose->show();
}

void TAboutBoxDialog::keyPressEvent(QKeyEvent* event)
{
    // The close button is the cancel button as well: Escape presses it instead of rejecting.
    const bool escape = event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier;
    if (escape && m_btnClose->isVisible() && m_btnClose->isEnabled()) {
        m_btnClose->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TAboutBoxDialog::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return false;
    // A key travels from the focused control up to the window; preview it once, at the control
    // that receives it first.
    QWidget* first = QApplication::focusWidget();
    if (!first || first->window() != this)
        first = this;
    if (watched != first)
        return false;
    return previewKey(*static_cast<QKeyEvent*>(event));
}

bool TAboutBoxDialog::previewKey(QKeyEvent& event)
{
    if (event.type() == QEvent::KeyRelease)
        return m_onKeyUp && m_onKeyUp(event);
    if (m_onKeyDown && m_onKeyDown(event))
        return true;
    return !event.text().isEmpty() && m_onKeyPress && m_onKeyPress(event);
}
