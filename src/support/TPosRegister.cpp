#include "TPosRegister.h"

#include "TRegistryAccessor.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace {

const char* const kAnchorsProperty = "zelmoraAnchors";

const Qt::Edges kDefaultAnchors = Qt::LeftEdge | Qt::TopEdge;

bool layoutHolds(const QLayout* layout, const QWidget* widget)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == widget)
            return true;
        if (item->layout() && layoutHolds(item->layout(), widget))
            return true;
    }
    return false;
}

bool isLaidOut(const QWidget* control)
{
    const QWidget* parent = control->parentWidget();
    return parent && parent->layout() && layoutHolds(parent->layout(), control);
}

// The area windows can be placed in: the available part of all screens together; empty when
// there is no screen to ask.
QRect AvailableArea(const QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableVirtualGeometry() : QRect();
}

// Stored bounds may be anything: a size of 10^9 pixels would give the largest window the system
// allows, whose backing store alone takes gigabytes, and a position far off every screen hides
// the window. What fits the area stays as it is.
int FittingExtent(int32_t stored, int minimum, int available)
{
    return int(std::min<int64_t>(stored, std::max(minimum, available)));
}

int FittingPosition(int32_t stored, int extent, int areaStart, int areaExtent)
{
    const int64_t last = std::max<int64_t>(areaStart, int64_t(areaStart) + areaExtent - extent);
    return int(std::clamp<int64_t>(stored, areaStart, last));
}

// Closes the key and clears the restoring flag however Restore ends, error included.
class RestoreScope {
public:
    RestoreScope(bool& restoring, TRegistryAccessor& registry)
        : m_restoring(restoring)
        , m_registry(registry)
    {
        m_restoring = true;
    }
    ~RestoreScope()
    {
        m_registry.closeKey();
        m_restoring = false;
    }
    RestoreScope(const RestoreScope&) = delete;
    RestoreScope& operator=(const RestoreScope&) = delete;

private:
    bool& m_restoring;
    TRegistryAccessor& m_registry;
};

} // namespace

TPosRegister::TPosRegister(QWidget* window, const QString& name)
    : m_window(window)
    , m_name(name.left(kNameLength))
{
}

QString TPosRegister::keyPath() const
{
    return TRegistryAccessor::shared()->keyUnderRoot(QStringLiteral("Positions\\") + m_name);
}

void TPosRegister::Restore()
{
    TRegistryAccessor* registry = TRegistryAccessor::shared();
    if (!registry)
        return;
    RestoreScope scope(m_restoring, *registry);
    if (!registry->openKeyReadOnly(keyPath()))
        return;

    const QRect area = AvailableArea(*m_window);
    const QSize minimum = m_window->minimumSize();
    int width = registry->readInteger(QStringLiteral("Width"));
    int height = registry->readInteger(QStringLiteral("Height"));
    int left = registry->readInteger(QStringLiteral("Left"));
    if (!area.isEmpty()) {
        width = FittingExtent(width, minimum.width(), area.width());
        height = FittingExtent(height, minimum.height(), area.height());
        left = FittingPosition(left, std::max(width, minimum.width()), area.left(), area.width());
    }
    const QSize designed = m_window->size();

    m_window->move(left, m_window->y());
    m_lastLeft = m_window->x();
    int top = registry->readInteger(QStringLiteral("Top"));
    if (!area.isEmpty())
        top = FittingPosition(top, std::max(height, minimum.height()), area.top(), area.height());
    m_window->move(m_window->x(), top);
    m_lastTop = m_window->y();
    m_window->resize(width, m_window->height());
    m_lastWidth = m_window->width();
    m_window->resize(m_window->width(), height);
    m_lastHeight = m_window->height();

    // As if the window had been resized to the size it took.
    shiftAnchoredControls(m_window, m_window->width() - designed.width(),
                          m_window->height() - designed.height());
}

void TPosRegister::Save()
{
    TRegistryAccessor* registry = TRegistryAccessor::shared();
    if (!registry || m_restoring)
        return;
    if (m_window->isMaximized())
        return;
    const int32_t left = m_window->x();
    const int32_t top = m_window->y();
    const int32_t width = m_window->width();
    const int32_t height = m_window->height();
    if (left == m_lastLeft && top == m_lastTop && width == m_lastWidth && height == m_lastHeight)
        return;

    if (!registry->openKey(keyPath(), true))
        return;
    registry->writeInteger(QStringLiteral("Left"), left);
    m_lastLeft = left;
    registry->writeInteger(QStringLiteral("Top"), top);
    m_lastTop = top;
    registry->writeInteger(QStringLiteral("Width"), width);
    m_lastWidth = width;
    registry->writeInteger(QStringLiteral("Height"), height);
    m_lastHeight = height;
    registry->closeKey();
}

void TPosRegister::setAnchors(QWidget* control, Qt::Edges anchors)
{
    control->setProperty(kAnchorsProperty, QVariant::fromValue(static_cast<int>(anchors)));
}

Qt::Edges TPosRegister::anchors(const QWidget* control)
{
    const QVariant value = control->property(kAnchorsProperty);
    if (!value.isValid())
        return kDefaultAnchors;
    return Qt::Edges(value.toInt());
}

void TPosRegister::shiftAnchoredControls(QWidget* container, int dw, int dh)
{
    if (dw == 0 && dh == 0)
        return;
    const auto children = container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (child->isWindow())
            continue;
        const Qt::Edges edges = anchors(child);
        if ((edges & ~kDefaultAnchors) == Qt::Edges())
            continue;
        if (isLaidOut(child)) {
            // The layout sizes this control itself; only its own free children need to follow.
            const bool stretchesX = edges.testFlag(Qt::LeftEdge) && edges.testFlag(Qt::RightEdge);
            const bool stretchesY = edges.testFlag(Qt::TopEdge) && edges.testFlag(Qt::BottomEdge);
            shiftAnchoredControls(child, stretchesX ? dw : 0, stretchesY ? dh : 0);
            continue;
        }
        QRect bounds = child->geometry();
        if (edges.testFlag(Qt::RightEdge)) {
            bounds.setRight(bounds.right() + dw);
            if (!edges.testFlag(Qt::LeftEdge))
                bounds.setLeft(bounds.left() + dw);
        }
        if (edges.testFlag(Qt::BottomEdge)) {
            bounds.setBottom(bounds.bottom() + dh);
            if (!edges.testFlag(Qt::TopEdge))
                bounds.setTop(bounds.top() + dh);
        }
        child->setGeometry(bounds);
    }
}
