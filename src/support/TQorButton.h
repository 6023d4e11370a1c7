#pragma once

#include <QToolButton>

#include <cstdint>

// The flat tool-bar button of the program's windows: a glyph (icon), a caption (text) and a
// hint (tool tip). Besides the usual "&" mnemonic of its caption it answers to Alt with the
// character of its KeyCode, in either letter case - but only while it and every parent up to
// its window are visible and enabled. When it does not take the key, the ordinary mnemonic
// handling of Qt applies, so another button's "&" letter still works.
//
// The Alt keys are caught by one application-wide event filter, installed with the first
// button: it claims the key before Qt's shortcut handling (ShortcutOverride) and clicks the
// first button of the window, in creation order, that answers to it.
class TQorButton : public QToolButton {
    Q_OBJECT

public:
    explicit TQorButton(QWidget* parent = nullptr);

    // Character code of the hot key; 0 means none. Setting it sets KeyChar to its low byte.
    uint16_t KeyCode() const { return m_keyCode; }
    void SetKeyCode(uint16_t keyCode) { m_keyCode = keyCode; }
    // The same hot key as a character (Latin-1); setting it sets KeyCode to its code.
    char KeyChar() const { return static_cast<char>(m_keyCode & 0xFF); }
    void SetKeyChar(char keyChar) { m_keyCode = static_cast<unsigned char>(keyChar); }

    // Sets the glyph. Disabled, the button shows it faded to a pale grey, so that a button that
    // cannot be pressed is told from one that can at a glance.
    void SetGlyph(const QIcon& glyph);

    // Whether the button and every parent up to its window are visible and enabled.
    bool TakesPart() const;
    // The window asks whether the typed mnemonic character c belongs to this button: if the
    // button takes part and c matches KeyCode without regard to case, it is clicked (a
    // checkable button toggles) and true is returned; otherwise false, nothing happens.
    bool HandleDialogChar(QChar c);

private:
    uint16_t m_keyCode = 0;
};
