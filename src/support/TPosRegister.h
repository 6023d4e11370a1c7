#pragma once

#include <QString>

#include <cstdint>
#include <limits>

class QWidget;

// Remembers the position and size of one window in the settings store, under the key
// root + "Positions\" + name with the integer values "Left", "Top", "Width" and "Height".
//
// Left and Top are the window's position on the desktop including its frame (QWidget::pos),
// Width and Height its size without the frame (QWidget::size). These are the two halves that
// move() and resize() take, so a window restored before it is first shown - when its frame is
// not yet known - comes back exactly as it was saved and does not grow by its frame at each
// start.
//
// Controls positioned freely (not managed by a layout) can be given anchors with setAnchors();
// Restore moves or stretches them by the difference between the stored and the designed size,
// as if the window had been resized by hand. Controls managed by a layout are left to it.
//
// Failures: Restore lets ERegistryException through when the key exists but a value is missing
// or has another type; the bounds applied up to then stay. Save never reports anything.
class TPosRegister {
public:
    static constexpr int kNameLength = 20;
    static constexpr int32_t kUnknown = std::numeric_limits<int32_t>::min();

    // The window is not owned; names longer than kNameLength characters are cut.
    TPosRegister(QWidget* window, const QString& name);

    // Applies the stored bounds, when the key exists. Bounds that fit on the desktop's available
    // area (all screens) are applied as they stand; others are brought onto it: no larger than
    // the area (but not below the window's minimum size), then moved in as little as needed.
    // Call it before the window is first shown.
    void Restore();
    // Stores the window's bounds when they differ from the last ones restored or stored;
    // never while Restore runs, and never for a maximized window.
    void Save();

    const QString& Name() const { return m_name; }
    bool Restoring() const { return m_restoring; }
    int32_t LastLeft() const { return m_lastLeft; }
    int32_t LastTop() const { return m_lastTop; }
    int32_t LastWidth() const { return m_lastWidth; }
    int32_t LastHeight() const { return m_lastHeight; }

    // The edges a freely positioned control keeps its distance to when its parent grows;
    // Qt::LeftEdge | Qt::TopEdge unless set.
    static void setAnchors(QWidget* control, Qt::Edges anchors);
    static Qt::Edges anchors(const QWidget* control);

private:
    QString keyPath() const;
    static void shiftAnchoredControls(QWidget* container, int dw, int dh);

    QWidget* m_window;
    QString m_name;
    bool m_restoring = false;
    int32_t m_lastLeft = kUnknown;
    int32_t m_lastTop = kUnknown;
    int32_t m_lastWidth = kUnknown;
    int32_t m_lastHeight = kUnknown;
};
