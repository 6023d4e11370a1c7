#pragma once

#include <QLabel>
#include <QString>

// A one-line plain-text caption that is drawn cut with "…" where the label is too narrow for it,
// instead of being clipped at both ends; while it is cut, its tool tip shows the whole text.
// text() stays the whole text.
class TElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit TElidedLabel(QWidget* parent = nullptr);

    // The caption as drawn now: the text, or its start and "…".
    QString ShownText() const;
    bool Elided() const { return ShownText() != text(); }

    // Lets a layout make the label narrower than its text.
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textRect() const;
};
