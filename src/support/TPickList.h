#pragma once

#include <QComboBox>

// A drop-down list whose choice changes only when the user picks an entry from the open list:
// a click on the list and one on an entry, or Enter or Space on the open list. F4, Alt+Down, Alt+Up
// and Space open it. On the closed list the keys that would step through the entries (arrows, Page
// Up/Down, Home/End, typed letters) and the mouse wheel change nothing and go on to the window, so
// a stray key or wheel notch never makes a choice the user did not mean. activated() reports a
// pick, even of the entry already shown.
class TPickList : public QComboBox {
    Q_OBJECT

public:
    explicit TPickList(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
};
