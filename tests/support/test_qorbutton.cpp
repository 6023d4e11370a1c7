#include "TQorButton.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

// A window with a panel holding the hot-key button for L, a plain button with the mnemonic
// "&Drucken", a line edit that has the focus, and a counter per button.
struct Form {
    QWidget window;
    QWidget* panel;
    TQorButton* load;
    TQorButton* print;
    QLineEdit* edit;
    int loadClicks = 0;
    int printClicks = 0;

    Form()
    {
        auto* layout = new QVBoxLayout(&window);
        panel = new QWidget;
        auto* panelLayout = new QVBoxLayout(panel);
        load = new TQorButton;
        load->setText(QStringLiteral("Laden"));
        load->setToolTip(QStringLiteral("Statistik-Protokoll laden: ALT-L"));
        load->SetKeyCode(76);
        panelLayout->addWidget(load);
        layout->addWidget(panel);
        print = new TQorButton;
        print->setText(QStringLiteral("&Drucken"));
        layout->addWidget(print);
        edit = new QLineEdit;
        layout->addWidget(edit);
        QObject::connect(load, &TQorButton::clicked, [this] { ++loadClicks; });
        QObject::connect(print, &TQorButton::clicked, [this] { ++printClicks; });
    }

    bool showAndActivate()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        edit->setFocus();
        return QTest::qWaitForWindowActive(&window);
    }
};

TEST(QorButton, KeyCodeAndKeyCharAreOneValue)
{
    TQorButton button;
    EXPECT_EQ(button.KeyCode(), 0);
    button.SetKeyCode(76);
    EXPECT_EQ(button.KeyChar(), 'L');
    button.SetKeyCode(0x1F49);
    EXPECT_EQ(button.KeyChar(), 'I') << "KeyChar is the low byte";
    button.SetKeyChar('p');
    EXPECT_EQ(button.KeyCode(), 112);
    button.SetKeyChar('\xE4');
    EXPECT_EQ(button.KeyCode(), 0xE4) << "a character above 127 is not sign-extended";
}

TEST(QorButton, IsAFlatButtonWithGlyphCaptionAndHint)
{
    TQorButton button;
    button.setText(QStringLiteral("Info"));
    button.setToolTip(QStringLiteral("Produkt-Information: ALT-I"));
    EXPECT_TRUE(button.autoRaise());
    EXPECT_EQ(button.toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
}

TEST(QorButton, AltWithTheKeyLetterClicksInEitherCase)
{
    struct Case {
        const char* what;
        std::function<void(QWidget*)> press;
        int clicks;
    };
    const Case cases[] = {
        {"Alt+L", [](QWidget* w) { QTest::keyClick(w, Qt::Key_L, Qt::AltModifier); }, 1},
        {"Alt+l typed", [](QWidget* w) { QTest::keyClick(w, 'l', Qt::AltModifier); }, 1},
        {"Alt+Shift+L",
         [](QWidget* w) { QTest::keyClick(w, 'L', Qt::AltModifier | Qt::ShiftModifier); }, 1},
        {"L without Alt", [](QWidget* w) { QTest::keyClick(w, Qt::Key_L); }, 0},
        {"Ctrl+Alt+L (AltGr)",
         [](QWidget* w) { QTest::keyClick(w, Qt::Key_L, Qt::AltModifier | Qt::ControlModifier); },
         0},
        {"Alt+K", [](QWidget* w) { QTest::keyClick(w, Qt::Key_K, Qt::AltModifier); }, 0},
    };
    for (const Case& c : cases) {
        Form form;
        ASSERT_TRUE(form.showAndActivate());
        c.press(form.edit);
        EXPECT_EQ(form.loadClicks, c.clicks) << c.what;
        EXPECT_EQ(form.printClicks, 0) << c.what;
        if (c.clicks == 0)
            continue;
        // The key reaches no other widget: the line edit with the focus stays empty.
        EXPECT_TRUE(form.edit->text().isEmpty()) << c.what;
    }
}

TEST(QorButton, HiddenOrDisabledButtonsAndParentsDoNotAnswer)
{
    struct Case {
        const char* what;
        std::function<void(Form&)> spoil;
    };
    const Case cases[] = {
        {"button hidden", [](Form& f) { f.load->hide(); }},
        {"button disabled", [](Form& f) { f.load->setEnabled(false); }},
        {"panel hidden", [](Form& f) { f.panel->hide(); }},
        {"panel disabled", [](Form& f) { f.panel->setEnabled(false); }},
        {"no key code", [](Form& f) { f.load->SetKeyCode(0); }},
    };
    for (const Case& c : cases) {
        Form form;
        ASSERT_TRUE(form.showAndActivate());
        c.spoil(form);
        EXPECT_FALSE(form.load->TakesPart() && form.load->KeyCode() != 0) << c.what;
        QTest::keyClick(&form.window, Qt::Key_L, Qt::AltModifier);
        EXPECT_EQ(form.loadClicks, 0) << c.what;
        EXPECT_FALSE(form.load->HandleDialogChar(QChar('L'))) << c.what;
        EXPECT_EQ(form.loadClicks, 0) << c.what;
    }
}

// Qt's mnemonics click with a short animation, so their clicks arrive from the event loop.
TEST(QorButton, HiddenHotKeyButtonLeavesTheLetterToTheCaptionMnemonic)
{
    Form form;
    auto* other = new TQorButton;
    other->setText(QStringLiteral("&Liste"));
    form.window.layout()->addWidget(other);
    int otherClicks = 0;
    QObject::connect(other, &TQorButton::clicked, [&] { ++otherClicks; });
    ASSERT_TRUE(form.showAndActivate());

    form.load->hide();
    QTest::keyClick(form.edit, Qt::Key_L, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return otherClicks == 1; }));
    EXPECT_EQ(form.loadClicks, 0);

    // Shown again, the hot key claims the letter before the mnemonic. Any click of the
    // mnemonic would arrive before the one of "&Drucken" pressed after it.
    form.load->show();
    QTest::keyClick(form.edit, Qt::Key_L, Qt::AltModifier);
    EXPECT_EQ(form.loadClicks, 1);
    QTest::keyClick(form.edit, Qt::Key_D, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.printClicks == 1; }));
    EXPECT_EQ(otherClicks, 1);
}

TEST(QorButton, FirstOfTwoButtonsWithTheSameKeyTakesIt)
{
    Form form;
    auto* second = new TQorButton;
    second->SetKeyCode('L');
    form.window.layout()->addWidget(second);
    int secondClicks = 0;
    QObject::connect(second, &TQorButton::clicked, [&] { ++secondClicks; });
    ASSERT_TRUE(form.showAndActivate());

    QTest::keyClick(form.edit, Qt::Key_L, Qt::AltModifier);
    EXPECT_EQ(form.loadClicks, 1);
    EXPECT_EQ(secondClicks, 0);
    form.load->setEnabled(false);
    QTest::keyClick(form.edit, Qt::Key_L, Qt::AltModifier);
    EXPECT_EQ(secondClicks, 1);
}

TEST(QorButton, ButtonsOfAnotherWindowDoNotAnswer)
{
    Form form;
    QDialog dialog(&form.window);
    auto* foreign = new TQorButton(&dialog);
    foreign->SetKeyCode('Q');
    int foreignClicks = 0;
    QObject::connect(foreign, &TQorButton::clicked, [&] { ++foreignClicks; });
    dialog.show();
    ASSERT_TRUE(form.showAndActivate());

    QTest::keyClick(form.edit, Qt::Key_Q, Qt::AltModifier);
    EXPECT_EQ(foreignClicks, 0);
}

TEST(QorButton, ButtonOfAnExclusiveGroupIsPressedByItsKey)
{
    Form form;
    auto* first = new TQorButton;
    auto* second = new TQorButton;
    QButtonGroup group;
    for (TQorButton* button : {first, second}) {
        button->setCheckable(true);
        group.addButton(button);
        form.window.layout()->addWidget(button);
    }
    first->setChecked(true);
    second->SetKeyCode('M');
    ASSERT_TRUE(form.showAndActivate());

    QTest::keyClick(form.edit, Qt::Key_M, Qt::AltModifier);
    EXPECT_TRUE(second->isChecked());
    EXPECT_FALSE(first->isChecked());
    QTest::keyClick(form.edit, Qt::Key_M, Qt::AltModifier);
    EXPECT_TRUE(second->isChecked()) << "pressing it again leaves the group's choice";
}

} // namespace
