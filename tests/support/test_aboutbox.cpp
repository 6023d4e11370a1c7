#include "CaptionText.h"
#include "EAboutBoxError.h"
#include "EscapeAmpersands.h"
#include "ProductInformation.h"
#include "TAboutBoxDialog.h"
#include "TQORAboutBox.h"
#include "TQORUrlLabel.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <ostream>

// Readable failure messages for positions and rectangles.
void PrintTo(const QPoint& point, std::ostream* out)
{
    *out << '(' << point.x() << ", " << point.y() << ')';
}

void PrintTo(const QRect& rect, std::ostream* out)
{
    *out << '(' << rect.x() << ", " << rect.y() << ' ' << rect.width() << 'x' << rect.height()
         << ')';
}

namespace {

// Replaces the link opener for the life of a test and records what was opened.
class RecordingOpener {
public:
    RecordingOpener()
    {
        m_previous = TQORUrlLabel::SetUrlOpener([this](const QString& address) {
            opened << address;
            return true;
        });
    }
    ~RecordingOpener() { TQORUrlLabel::SetUrlOpener(m_previous); }

    QStringList opened;

private:
    TQORUrlLabel::TUrlOpener m_previous;
};

// Runs execute, which shows an about dialog modally, and calls check on that dialog while it is
// up. The dialog is closed afterwards should check have left it open.
void whileShown(const std::function<void()>& execute,
                const std::function<void(TAboutBoxDialog&)>& check)
{
    bool checked = false;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<TAboutBoxDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        checked = true;
        // Keys go where the user would type them: to the focused control of the active window.
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        check(*dialog);
        if (dialog->isVisible())
            dialog->done(QDialog::Rejected);
    });
    timer.start(0);
    execute();
    EXPECT_TRUE(checked) << "no about dialog was shown";
}

void whileShown(TQORAboutBox& box, const std::function<void(TAboutBoxDialog&)>& check)
{
    whileShown([&box] { box.Execute(); }, check);
}

// Where a key goes when the user types it.
QWidget* keyTarget() { return QApplication::focusWidget(); }

QPixmap filledPixmap(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::darkCyan);
    return pixmap;
}

} // namespace

TEST(CaptionText, ShowsAmpersandsTheWayCaptionsDo)
{
    const struct {
        const char* caption;
        const char* shown;
    } cases[] = {
        {"", ""},       {"ohne", "ohne"},   {"A && B", "A & B"}, {"&Schließen", "Schließen"},
        {"&&&&", "&&"}, {"Ende&", "Ende&"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CaptionText(QString::fromUtf8(c.caption)), QString::fromUtf8(c.shown))
            << c.caption;
    }
}

TEST(TQORAboutBox, SlotsByNameAndByIndexAreTheSame)
{
    TQORAboutBox box;
    const std::vector<std::pair<void (TQORAboutBox::*)(const QString&), int>> setters = {
        {&TQORAboutBox::SetProduktName, 1},     {&TQORAboutBox::SetProduktVersion, 2},
        {&TQORAboutBox::SetProduktDatum, 3},    {&TQORAboutBox::SetLizenz, 4},
        {&TQORAboutBox::SetCopyright, 5},       {&TQORAboutBox::SetVertriebAdresse, 6},
        {&TQORAboutBox::SetVertriebWeb, 7},     {&TQORAboutBox::SetVertriebEMail, 8},
        {&TQORAboutBox::SetVertriebHotline, 9}, {&TQORAboutBox::SetKundeAdresse, 10},
        {&TQORAboutBox::SetKundeEMail, 11},     {&TQORAboutBox::SetKundeWeb, 12},
        {&TQORAboutBox::SetKundeTelNr, 13},     {&TQORAboutBox::SetHerstellerAdresse, 14},
        {&TQORAboutBox::SetHerstellerWeb, 15},  {&TQORAboutBox::SetHerstellerEMail, 16},
    };
    for (const auto& [setter, index] : setters)
        (box.*setter)(QStringLiteral("slot %1").arg(index));
    for (int index = 1; index <= TQORAboutBox::SlotCount; ++index)
        EXPECT_EQ(box.Slot(index), QStringLiteral("slot %1").arg(index));
    EXPECT_EQ(box.HerstellerEMail(), QStringLiteral("slot 16"));

    box.SetSlot(3, QStringLiteral("neu"));
    EXPECT_EQ(box.ProduktDatum(), QStringLiteral("neu"));

    // Indexes outside the slots neither store nor disturb anything.
    box.SetSlot(0, QStringLiteral("x"));
    box.SetSlot(17, QStringLiteral("x"));
    EXPECT_TRUE(box.Slot(0).isEmpty());
    EXPECT_TRUE(box.Slot(17).isEmpty());
    EXPECT_EQ(box.ProduktName(), QStringLiteral("slot 1"));
    EXPECT_EQ(box.HerstellerEMail(), QStringLiteral("slot 16"));
}

TEST(TQORAboutBox, LaysOutSlotsPageByPage)
{
    using Slots = std::map<int, QString>;
    using Tops = std::map<int, int>; // visible slot -> label top
    const struct {
        const char* name;
        Slots texts;
        Tops tops;
    } cases[] = {
        {"product name and maker notice close up",
         {{1, "ZelmoraViewer 2.0.3"}, {5, "(C) 2026"}},
         {{1, 190}, {5, 210}}},
        {"all product slots",
         {{1, "a"}, {2, "b"}, {3, "c"}, {4, "d"}, {5, "e"}},
         {{1, 190}, {2, 210}, {3, 230}, {4, 250}, {5, 270}}},
        {"three-line address with CR LF",
         {{6, "Firma\r\nStraße 1\r\n12345 Ort"}, {7, "w"}, {8, "m"}, {9, "h"}},
         {{6, 190}, {7, 240}, {8, 260}, {9, 280}}},
        {"three-line address with LF",
         {{6, "Firma\nStraße 1\n12345 Ort"}, {7, "w"}, {8, "m"}, {9, "h"}},
         {{6, 190}, {7, 240}, {8, 260}, {9, 280}}},
        {"three-line address with CR",
         {{6, "Firma\rStraße 1\r12345 Ort"}, {7, "w"}, {8, "m"}, {9, "h"}},
         {{6, 190}, {7, 240}, {8, 260}, {9, 280}}},
        {"hidden slot under a two-line address",
         {{14, "Firma\r\n12345 Ort"}, {16, "m"}},
         {{14, 190}, {16, 225}}},
        {"every page starts at the top",
         {{2, "v"}, {6, "a\r\nb"}, {9, "h"}, {13, "t"}, {15, "w"}},
         {{2, 190}, {6, 190}, {9, 225}, {13, 190}, {15, 190}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TQORAboutBox box;
        for (const auto& [index, text] : c.texts)
            box.SetSlot(index, text);
        whileShown(box, [&](TAboutBoxDialog& dialog) {
            for (int index = 1; index <= TQORAboutBox::SlotCount; ++index) {
                QLabel* label = dialog.SlotLabel(index);
                QWidget* bullet = dialog.SlotBullet(index);
                ASSERT_TRUE(label && bullet) << index;
                const auto top = c.tops.find(index);
                const bool shown = top != c.tops.end();
                EXPECT_EQ(!label->isHidden(), shown) << index;
                EXPECT_EQ(!bullet->isHidden(), shown) << index;
                if (!shown)
                    continue;
                EXPECT_EQ(label->pos(), QPoint(56, top->second)) << index;
                EXPECT_EQ(bullet->geometry(), QRect(40, top->second + 4, 9, 9)) << index;
                // A multi-line label must be tall enough for its lines, yet end above the slot
                // laid out under it.
                const int lines = int(label->text().count(QLatin1Char('\n'))) + 1;
                EXPECT_LE(label->height(), 20 + 15 * (lines - 1)) << index;
            }
        });
    }
}

TEST(TQORAboutBox, ShowsSlotTextsAsCaptions)
{
    TQORAboutBox box;
    box.SetCopyright(EscapeAmpersands(QStringLiteral("Müller & Partner")));
    box.SetVertriebAdresse(QStringLiteral("Firma\r\nOrt"));
    whileShown(box, [](TAboutBoxDialog& dialog) {
        EXPECT_EQ(dialog.SlotLabel(5)->text(), QStringLiteral("Müller & Partner"));
        EXPECT_EQ(dialog.SlotLabel(6)->text(), QStringLiteral("Firma\nOrt"));
    });
}

TEST(TQORAboutBox, ShowsPagesLogosAndCaptionAsConfigured)
{
    TQORAboutBox box;
    box.SetCaption(QStringLiteral("Über"));
    box.SetPages(TQORAboutBox::abProdukt | TQORAboutBox::abHersteller);
    box.SetProduktLogo(filledPixmap(40, 30));
    box.SetHerstellerLogo(filledPixmap(120, 50));
    whileShown(box, [](TAboutBoxDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Über"));
        QTabWidget* tabs = dialog.pcPages();
        EXPECT_TRUE(tabs->isTabVisible(tabs->indexOf(dialog.tsProdukt())));
        EXPECT_FALSE(tabs->isTabVisible(tabs->indexOf(dialog.tsKunde())));
        EXPECT_FALSE(tabs->isTabVisible(tabs->indexOf(dialog.tsVertrieb())));
        EXPECT_TRUE(tabs->isTabVisible(tabs->indexOf(dialog.tsHersteller())));

        EXPECT_EQ(dialog.Image(TAboutBoxDialog::ProduktPage)->geometry(), QRect(8, 8, 40, 30));
        EXPECT_EQ(dialog.Image(TAboutBoxDialog::HerstellerPage)->geometry(), QRect(8, 8, 120, 50));
        EXPECT_FALSE(dialog.Image(TAboutBoxDialog::HerstellerPage)->isHidden());
        EXPECT_TRUE(dialog.Image(TAboutBoxDialog::KundePage)->isHidden());
        EXPECT_TRUE(dialog.Image(TAboutBoxDialog::VertriebPage)->isHidden());
    });
}

TEST(TQORAboutBox, MissingSlotLabelFailsAndReleasesTheDialog)
{
    class BoxWithoutHotline : public TQORAboutBox {
    public:
        mutable QPointer<TAboutBoxDialog> made;

    protected:
        std::unique_ptr<TAboutBoxDialog> CreateDialog(QWidget* parent) const override
        {
            std::unique_ptr<TAboutBoxDialog> dialog = TQORAboutBox::CreateDialog(parent);
            delete dialog->SlotLabel(9);
            made = dialog.get();
            return dialog;
        }
    };

    BoxWithoutHotline box;
    box.SetVertriebHotline(QStringLiteral("Hotline 0800"));
    try {
        box.Execute();
        ADD_FAILURE() << "Execute did not fail";
    } catch (const EAboutBoxError& error) {
        EXPECT_STREQ(error.what(), "SetAboutBoxInfo(9, Hotline 0800)");
    }
    EXPECT_TRUE(box.made.isNull());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // An empty slot is looked up too: its label decides about its bullet.
    BoxWithoutHotline emptyBox;
    EXPECT_THROW(emptyBox.Execute(), EAboutBoxError);
    EXPECT_TRUE(emptyBox.made.isNull());
}

TEST(TQORAboutBox, ReleasesTheDialogWhenClosed)
{
    TQORAboutBox box;
    QPointer<TAboutBoxDialog> shown;
    whileShown(box, [&](TAboutBoxDialog& dialog) { shown = &dialog; });
    EXPECT_TRUE(shown.isNull());
}

TEST(TAboutBoxDialog, CloseButtonIsOnEveryPage)
{
    const int pages[] = {TAboutBoxDialog::ProduktPage, TAboutBoxDialog::KundePage,
                         TAboutBoxDialog::VertriebPage, TAboutBoxDialog::HerstellerPage};
    for (int page : pages) {
        SCOPED_TRACE(page);
        TQORAboutBox box;
        whileShown(box, [page](TAboutBoxDialog& dialog) {
            QPushButton* close = dialog.btnClose();
            EXPECT_EQ(dialog.pcPages()->currentWidget(), dialog.tsProdukt());
            dialog.pcPages()->setCurrentWidget(dialog.Sheet(page));
            EXPECT_EQ(close->parentWidget(), dialog.Sheet(page));
            EXPECT_TRUE(close->isVisible());
            EXPECT_EQ(close->geometry(), QRect(384, 296, 105, 33));
            EXPECT_EQ(close->text(), QString::fromUtf8("&Schließen"));
            EXPECT_EQ(close->toolTip(), QString::fromUtf8("Infofenster schließen"));

            QTest::mouseClick(close, Qt::LeftButton);
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
        });
    }
}

TEST(TAboutBoxDialog, CloseButtonFollowsWhenThePageOfProduktIsHidden)
{
    TQORAboutBox box;
    box.SetPages(TQORAboutBox::abVertrieb | TQORAboutBox::abHersteller);
    whileShown(box, [](TAboutBoxDialog& dialog) {
        QWidget* current = dialog.pcPages()->currentWidget();
        EXPECT_NE(current, dialog.tsProdukt());
        EXPECT_EQ(dialog.btnClose()->parentWidget(), current);
        EXPECT_TRUE(dialog.btnClose()->isVisible());
    });
}

TEST(TAboutBoxDialog, ReturnAndEscapeClose)
{
    const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape};
    for (Qt::Key key : keys) {
        for (bool onButton : {false, true}) {
            SCOPED_TRACE(testing::Message() << "key " << key << (onButton ? " on button" : ""));
            TQORAboutBox box;
            box.SetPages(TQORAboutBox::abProdukt | TQORAboutBox::abVertrieb);
            whileShown(box, [key, onButton](TAboutBoxDialog& dialog) {
                dialog.pcPages()->setCurrentWidget(dialog.tsVertrieb());
                if (onButton)
                    dialog.btnClose()->setFocus();
                QTest::keyClick(keyTarget(), key);
                EXPECT_FALSE(dialog.isVisible());
                EXPECT_EQ(dialog.result(), QDialog::Accepted);
            });
        }
    }
}

TEST(TAboutBoxDialog, KeyHandlersSeeEveryKeyOnceAndMaySwallowIt)
{
    TQORAboutBox box;
    QList<int> down;
    QString typed;
    QList<int> up;
    box.SetOnKeyDown([&](QKeyEvent& event) {
        down << event.key();
        return event.key() == Qt::Key_Escape;
    });
    box.SetOnKeyPress([&](QKeyEvent& event) {
        typed += event.text();
        return false;
    });
    box.SetOnKeyUp([&](QKeyEvent& event) {
        up << event.key();
        return false;
    });
    whileShown(box, [](TAboutBoxDialog& dialog) {
        // The tab bar has the focus, so the keys pass it and its page control on their way up.
        ASSERT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(dialog.pcPages()->tabBar()));
        QTest::keyClick(keyTarget(), Qt::Key_Escape);
        EXPECT_TRUE(dialog.isVisible()) << "the handler swallowed Escape";
        QTest::keyClick(keyTarget(), Qt::Key_A);
        QTest::keyClick(keyTarget(), Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(down, (QList<int>{Qt::Key_Escape, Qt::Key_A, Qt::Key_Return}));
    EXPECT_EQ(typed, QStringLiteral("a\r"));
    EXPECT_EQ(up, (QList<int>{Qt::Key_Escape, Qt::Key_A, Qt::Key_Return}));
}

TEST(TQORUrlLabel, OpensItsAddress)
{
    const struct {
        const char* name;
        TQORUrlLabel::TURLType type;
        const char* custom;
        bool useCaption;
        const char* caption;
        const char* url;
        const char* opened;
    } cases[] = {
        {"web from caption", TQORUrlLabel::utHTTP, "", true, "www.zelmora.example.com", "",
         "http://www.zelmora.example.com"},
        {"mail from caption", TQORUrlLabel::utMail, "", true, "info@korvandelis.example.com", "",
         "mailto:info@korvandelis.example.com"},
        {"ftp from caption", TQORUrlLabel::utFTP, "", true, "ftp.example.com", "",
         "ftp://ftp.example.com"},
        {"custom prefix", TQORUrlLabel::utCustom, "news:", true, "de.comp.lang", "",
         "news:de.comp.lang"},
        {"URL unchanged without the caption", TQORUrlLabel::utHTTP, "", false, "Startseite",
         "https://www.example.com/start", "https://www.example.com/start"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingOpener opener;
        TQORUrlLabel label;
        label.SetURLType(c.type);
        label.SetCustomURLType(QString::fromUtf8(c.custom));
        label.SetUseCaption(c.useCaption);
        label.setText(QString::fromUtf8(c.caption));
        label.SetURL(QString::fromUtf8(c.url));
        label.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&label));
        QTest::mouseClick(&label, Qt::LeftButton);
        EXPECT_EQ(opener.opened, QStringList{QString::fromUtf8(c.opened)});
    }
}

TEST(TQORUrlLabel, ClickHandlerTakesThePlaceOfOpening)
{
    RecordingOpener opener;
    TQORUrlLabel label;
    label.SetURLType(TQORUrlLabel::utHTTP);
    label.SetUseCaption(true);
    label.setText(QStringLiteral("www.example.com"));
    QSignalSpy clicked(&label, &TQORUrlLabel::OnClick);
    label.Click();
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_TRUE(opener.opened.isEmpty());

    // Other buttons and a press that ends outside are no clicks.
    label.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&label));
    QTest::mouseClick(&label, Qt::RightButton);
    QTest::mousePress(&label, Qt::LeftButton);
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(-5, -5));
    EXPECT_EQ(clicked.count(), 1);
}

TEST(TQORUrlLabel, HighlightsWhileTheMouseIsOver)
{
    TQORUrlLabel label;
    label.setText(QStringLiteral("www.example.com"));
    label.SetActiveColor(Qt::blue);
    label.SetInactiveColor(QColor(0x00, 0x80, 0x80));
    QSignalSpy entered(&label, &TQORUrlLabel::OnMouseEnter);
    QSignalSpy left(&label, &TQORUrlLabel::OnMouseLeave);
    const auto colour = [&label] { return label.palette().color(QPalette::WindowText); };
    EXPECT_FALSE(label.font().underline());

    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&label, &enter);
    EXPECT_EQ(colour(), QColor(Qt::blue));
    EXPECT_TRUE(label.font().underline());
    EXPECT_EQ(entered.count(), 1);

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&label, &leave);
    EXPECT_EQ(colour(), QColor(0x00, 0x80, 0x80));
    EXPECT_FALSE(label.font().underline());
    EXPECT_EQ(left.count(), 1);

    // Without highlighting the label stays underlined and keeps its colour.
    label.SetHighlightURLOnMouse(false);
    EXPECT_TRUE(label.font().underline());
    QApplication::sendEvent(&label, &enter);
    QApplication::sendEvent(&label, &leave);
    EXPECT_EQ(colour(), QColor(0x00, 0x80, 0x80));
    EXPECT_TRUE(label.font().underline());
    EXPECT_EQ(entered.count(), 2);
    EXPECT_EQ(left.count(), 2);

    label.SetHighlightURLOnMouse(true);
    EXPECT_FALSE(label.font().underline());
}

TEST(ProductInformation, FillsProductSlotsFromTheApplicationTitle)
{
    const struct {
        const char* appTitle;
        const char* version;
    } cases[] = {
        {kApplicationTitle, kProductVersion},
        {kProductVersion, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.appTitle);
        TQORAboutBox box;
        SetUpProductInformation(box);
        FillProductInformation(box, QString::fromUtf8(c.appTitle));
        EXPECT_EQ(box.ProduktName(), QString::fromUtf8(c.appTitle));
        EXPECT_EQ(box.ProduktVersion(), QString::fromUtf8(c.version));
        EXPECT_EQ(box.Copyright(), EscapeAmpersands(QString::fromUtf8(kMakerNotice)));
    }
}

TEST(ProductInformation, ShowsTheDesignedBox)
{
    RecordingOpener opener;
    whileShown([] { ShowProductInformation(nullptr, QStringLiteral("ZelmoraViewer 2.0.3")); },
               [&opener](TAboutBoxDialog& dialog) {
                   EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Produkt-Information"));
                   QTabWidget* tabs = dialog.pcPages();
                   EXPECT_TRUE(tabs->isTabVisible(tabs->indexOf(dialog.tsHersteller())));
                   EXPECT_TRUE(tabs->isTabVisible(tabs->indexOf(dialog.tsProdukt())));
                   EXPECT_TRUE(tabs->isTabVisible(tabs->indexOf(dialog.tsVertrieb())));
                   EXPECT_FALSE(tabs->isTabVisible(tabs->indexOf(dialog.tsKunde())));

                   EXPECT_EQ(dialog.SlotLabel(1)->text(), QStringLiteral("ZelmoraViewer 2.0.3"));
                   EXPECT_EQ(dialog.SlotLabel(2)->text(), QString::fromUtf8(kProductVersion));
                   EXPECT_EQ(dialog.SlotLabel(5)->text(), QString::fromUtf8(kMakerNotice));
                   EXPECT_EQ(dialog.SlotLabel(5)->y(), 230);
                   for (int index : {3, 4, 10, 11, 12, 13})
                       EXPECT_TRUE(dialog.SlotLabel(index)->isHidden()) << index;
                   for (int index : {6, 7, 8, 9, 14, 15, 16})
                       EXPECT_FALSE(dialog.SlotLabel(index)->text().isEmpty()) << index;
                   for (int page : {TAboutBoxDialog::ProduktPage, TAboutBoxDialog::VertriebPage,
                                    TAboutBoxDialog::HerstellerPage})
                       EXPECT_FALSE(dialog.Image(page)->isHidden()) << page;

                   // Every link shows its address and opens it.
                   for (int index : {7, 8, 15, 16}) {
                       tabs->setCurrentWidget(
                           dialog.Sheet(TAboutBoxDialog::Tag(dialog.SlotLabel(index)) / 100));
                       QTest::mouseClick(dialog.SlotLabel(index), Qt::LeftButton);
                   }
                   const QString web = dialog.SlotLabel(15)->text();
                   const QString mail = dialog.SlotLabel(16)->text();
                   EXPECT_EQ(opener.opened,
                             (QStringList{QStringLiteral("http://") + dialog.SlotLabel(7)->text(),
                                          QStringLiteral("mailto:") + dialog.SlotLabel(8)->text(),
                                          QStringLiteral("http://") + web,
                                          QStringLiteral("mailto:") + mail}));
                   EXPECT_TRUE(mail.contains(QLatin1Char('@')));
               });
}
