#include "ERegistryException.h"
#include "TPosRegister.h"
#include "TempSettings.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>

namespace {

const QString kKey =
    QStringLiteral("\\Software\\Korvandelis\\ZelmoraViewer\\2\\Positions\\DocumentEditor");

struct Bounds {
    int left, top, width, height;
};

void store(TRegistryAccessor& registry, const QString& key, const Bounds& bounds)
{
    ASSERT_TRUE(registry.openKey(key, true));
    registry.writeInteger(QStringLiteral("Left"), bounds.left);
    registry.writeInteger(QStringLiteral("Top"), bounds.top);
    registry.writeInteger(QStringLiteral("Width"), bounds.width);
    registry.writeInteger(QStringLiteral("Height"), bounds.height);
    registry.closeKey();
}

// The stored value, or TPosRegister::kUnknown when there is none.
int32_t stored(TRegistryAccessor& registry, const QString& name, const QString& key = kKey)
{
    if (!registry.openKeyReadOnly(key))
        return TPosRegister::kUnknown;
    const int32_t value =
        registry.valueExists(name) ? registry.readInteger(name) : TPosRegister::kUnknown;
    registry.closeKey();
    return value;
}

void expectStored(TRegistryAccessor& registry, const Bounds& bounds)
{
    EXPECT_EQ(stored(registry, QStringLiteral("Left")), bounds.left);
    EXPECT_EQ(stored(registry, QStringLiteral("Top")), bounds.top);
    EXPECT_EQ(stored(registry, QStringLiteral("Width")), bounds.width);
    EXPECT_EQ(stored(registry, QStringLiteral("Height")), bounds.height);
}

std::unique_ptr<QWidget> designedWindow()
{
    auto window = std::make_unique<QWidget>();
    window->setGeometry(120, 80, 400, 300);
    return window;
}

TEST(PosRegister, FirstStartKeepsDesignedBoundsAndFirstSaveWritesThem)
{
    TempSettings settings;
    auto window = designedWindow();
    const QRect designed = window->geometry();
    TPosRegister positions(window.get(), QStringLiteral("DocumentEditor"));

    positions.Restore();
    EXPECT_EQ(window->geometry(), designed);
    EXPECT_EQ(positions.LastLeft(), TPosRegister::kUnknown);
    EXPECT_EQ(positions.LastHeight(), TPosRegister::kUnknown);
    EXPECT_FALSE(positions.Restoring());
    EXPECT_FALSE(settings.accessor().openKeyReadOnly(kKey)) << "Restore must not create the key";

    positions.Save();
    expectStored(settings.accessor(), {window->x(), window->y(), 400, 300});
    EXPECT_EQ(positions.LastWidth(), 400);
}

TEST(PosRegister, SaveWritesOnlyWhenTheBoundsChanged)
{
    TempSettings settings;
    auto window = designedWindow();
    TPosRegister positions(window.get(), QStringLiteral("DocumentEditor"));
    positions.Save();

    // Overwrite the store behind the register's back: a Save without change must not notice.
    store(settings.accessor(), kKey, {1, 2, 3, 4});
    positions.Save();
    expectStored(settings.accessor(), {1, 2, 3, 4});

    window->move(150, 90);
    positions.Save();
    expectStored(settings.accessor(), {150, 90, 400, 300});

    window->resize(410, 300);
    positions.Save();
    expectStored(settings.accessor(), {150, 90, 410, 300});
}

TEST(PosRegister, MaximizedWindowNeverOverwritesTheNormalBounds)
{
    TempSettings settings;
    auto window = designedWindow();
    TPosRegister positions(window.get(), QStringLiteral("DocumentEditor"));
    store(settings.accessor(), kKey, {10, 20, 300, 200});
    positions.Restore();

    // Whatever a maximized window reports as its bounds now differs from the stored ones.
    window->setGeometry(300, 250, 350, 260);
    window->showMaximized();
    ASSERT_TRUE(window->isMaximized());
    positions.Save();
    expectStored(settings.accessor(), {10, 20, 300, 200});
}

TEST(PosRegister, StoredBoundsThatFitTheScreenAreAppliedAsTheyStandOthersAreBroughtOntoIt)
{
    const QRect area = QGuiApplication::primaryScreen()->availableVirtualGeometry();
    ASSERT_FALSE(area.isEmpty());
    const int lowest = std::numeric_limits<int32_t>::min();
    const int highest = std::numeric_limits<int32_t>::max();
    const int right = area.left() + area.width();
    const int bottom = area.top() + area.height();
    struct Case {
        Bounds stored;
        Bounds applied;
    };
    const Case cases[] = {
        // What fits stays.
        {{area.left(), area.top(), area.width(), area.height()},
         {area.left(), area.top(), area.width(), area.height()}},
        {{area.left() + 10, area.top() + 20, 333, 222},
         {area.left() + 10, area.top() + 20, 333, 222}},
        {{right - 333, bottom - 222, 333, 222}, {right - 333, bottom - 222, 333, 222}},
        // Too large: the area's size; off the screen: moved on as little as needed.
        {{0, 0, 1000000000, 1000000000}, {area.left(), area.top(), area.width(), area.height()}},
        {{-30000, 50000, 333, 222}, {area.left(), bottom - 222, 333, 222}},
        {{99999, -99999, 640, 480}, {right - 640, area.top(), 640, 480}},
        {{right - 100, area.top() + 5, 333, 222}, {right - 333, area.top() + 5, 333, 222}},
        {{highest, highest, highest, highest},
         {area.left(), area.top(), area.width(), area.height()}},
        // Below the minimum size the window takes its minimum, and fits with it.
        {{lowest, lowest, lowest, lowest}, {area.left(), area.top(), 100, 80}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored.left << "," << c.stored.top << " "
                                        << c.stored.width << "x" << c.stored.height);
        TempSettings settings;
        auto window = designedWindow();
        window->setMinimumSize(100, 80);
        TPosRegister positions(window.get(), QStringLiteral("DocumentEditor"));
        store(settings.accessor(), kKey, c.stored);

        positions.Restore();
        EXPECT_EQ(window->geometry().topLeft(), QPoint(c.applied.left, c.applied.top));
        EXPECT_EQ(window->size(), QSize(c.applied.width, c.applied.height));
        EXPECT_EQ(positions.LastLeft(), c.applied.left);
        EXPECT_EQ(positions.LastTop(), c.applied.top);
        EXPECT_EQ(positions.LastWidth(), c.applied.width);
        EXPECT_EQ(positions.LastHeight(), c.applied.height);

        // What was restored counts as stored: nothing to write.
        store(settings.accessor(), kKey, {1, 1, 1, 1});
        positions.Save();
        expectStored(settings.accessor(), {1, 1, 1, 1});
    }
}

TEST(PosRegister, LastValuesRecordWhatTheWindowAccepted)
{
    TempSettings settings;
    auto window = designedWindow();
    window->setMinimumSize(200, 150);
    TPosRegister positions(window.get(), QStringLiteral("DocumentEditor"));
    store(settings.accessor(), kKey, {5, 6, 50, 40});

    positions.Restore();
    EXPECT_EQ(window->size(), QSize(200, 150));
    EXPECT_EQ(positions.LastWidth(), 200);
    EXPECT_EQ(positions.LastHeight(), 150);
    positions.Save();
    expectStored(settings.accessor(), {5, 6, 50, 40});
}

TEST(PosRegister, AnchoredControlsFollowTheStoredSize)
{
    TempSettings settings;
    auto window = designedWindow();
    auto* rightOnly = new QWidget(window.get());
    rightOnly->setGeometry(300, 10, 80, 20);
    TPosRegister::setAnchors(rightOnly, Qt::RightEdge);
    auto* stretched = new QWidget(window.get());
    stretched->setGeometry(10, 40, 380, 20);
    TPosRegister::setAnchors(stretched, Qt::LeftEdge | Qt::RightEdge | Qt::TopEdge);
    auto* plain = new QWidget(window.get());
    plain->setGeometry(10, 70, 50, 20);
    auto* bottomRight = new QWidget(window.get());
    bottomRight->setGeometry(300, 250, 80, 30);
    TPosRegister::setAnchors(bottomRight, Qt::RightEdge | Qt::BottomEdge);
    auto* tall = new QWidget(window.get());
    tall->setGeometry(10, 100, 50, 150);
    TPosRegister::setAnchors(tall, Qt::LeftEdge | Qt::TopEdge | Qt::BottomEdge);

    TPosRegister positions(window.get(), QStringLiteral("DocumentEditor"));
    store(settings.accessor(), kKey, {0, 0, 500, 340});
    positions.Restore();

    EXPECT_EQ(rightOnly->geometry(), QRect(400, 10, 80, 20));
    EXPECT_EQ(stretched->geometry(), QRect(10, 40, 480, 20));
    EXPECT_EQ(plain->geometry(), QRect(10, 70, 50, 20));
    EXPECT_EQ(bottomRight->geometry(), QRect(400, 290, 80, 30));
    EXPECT_EQ(tall->geometry(), QRect(10, 100, 50, 190));
}

// A window whose top part is a laid-out panel with a freely placed control inside, above a
// laid-out control anchored to the right.
struct LaidOutWindow {
    QWidget window;
    QWidget* panel;
    QWidget* freeInPanel;
    QWidget* laidOutRight;

    LaidOutWindow()
    {
        window.setGeometry(100, 100, 400, 300);
        auto* layout = new QVBoxLayout(&window);
        panel = new QWidget;
        panel->setMinimumHeight(60);
        TPosRegister::setAnchors(panel, Qt::LeftEdge | Qt::RightEdge | Qt::TopEdge);
        layout->addWidget(panel);
        freeInPanel = new QWidget(panel);
        freeInPanel->setGeometry(300, 5, 60, 20);
        TPosRegister::setAnchors(freeInPanel, Qt::RightEdge);
        laidOutRight = new QWidget;
        laidOutRight->setMinimumHeight(30);
        TPosRegister::setAnchors(laidOutRight, Qt::RightEdge);
        layout->addWidget(laidOutRight);
    }
};

TEST(PosRegister, LayoutsAreLeftToThemselvesTheirFreeChildrenFollow)
{
    TempSettings settings;
    LaidOutWindow restored;
    TPosRegister positions(&restored.window, QStringLiteral("DocumentEditor"));
    store(settings.accessor(), kKey, {100, 100, 500, 300});
    positions.Restore();
    restored.window.show();

    LaidOutWindow reference;
    reference.window.resize(500, 300);
    reference.window.show();

    EXPECT_EQ(restored.panel->geometry(), reference.panel->geometry());
    EXPECT_EQ(restored.laidOutRight->geometry(), reference.laidOutRight->geometry());
    EXPECT_EQ(restored.freeInPanel->geometry(), QRect(400, 5, 60, 20));
}

TEST(PosRegister, BrokenKeyKeepsWhatWasAppliedAndEndsRestoring)
{
    struct Case {
        std::function<void(TRegistryAccessor&)> fill;
        std::string message;
        QPoint position;
    };
    const Case cases[] = {
        {[](TRegistryAccessor& r) {
             r.writeInteger(QStringLiteral("Width"), 500);
             r.writeInteger(QStringLiteral("Height"), 350);
             r.writeInteger(QStringLiteral("Left"), 33);
         },
         "Fehler beim Holen der Daten f\xC3\xBCr 'Top'", QPoint(33, 80)},
        {[](TRegistryAccessor& r) {
             r.writeString(QStringLiteral("Width"), QStringLiteral("500"));
             r.writeInteger(QStringLiteral("Height"), 350);
             r.writeInteger(QStringLiteral("Left"), 33);
             r.writeInteger(QStringLiteral("Top"), 44);
         },
         "Ung\xC3\xBCltiger Datentyp f\xC3\xBCr 'Width'", QPoint(120, 80)},
    };
    for (const Case& c : cases) {
        TempSettings settings;
        auto window = designedWindow();
        TPosRegister positions(window.get(), QStringLiteral("DocumentEditor"));
        ASSERT_TRUE(settings.accessor().openKey(kKey, true));
        c.fill(settings.accessor());
        settings.accessor().closeKey();

        try {
            positions.Restore();
            ADD_FAILURE() << "Restore did not fail for " << c.message;
        } catch (const ERegistryException& error) {
            EXPECT_EQ(error.what(), c.message);
        }
        EXPECT_FALSE(positions.Restoring());
        EXPECT_FALSE(settings.accessor().hasOpenKey());
        EXPECT_EQ(window->pos(), c.position);
        EXPECT_EQ(window->size(), QSize(400, 300));

        // Saving works again after the failure.
        positions.Save();
        EXPECT_EQ(stored(settings.accessor(), QStringLiteral("Top")), window->y());
    }
}

// Saves whenever it is moved or resized, as a window that saves on every change would.
class SelfSavingWindow : public QWidget {
public:
    TPosRegister* positions = nullptr;
    int saveAttempts = 0;

protected:
    void moveEvent(QMoveEvent*) override { saveNow(); }
    void resizeEvent(QResizeEvent*) override { saveNow(); }

private:
    void saveNow()
    {
        if (!positions)
            return;
        ++saveAttempts;
        positions->Save();
    }
};

TEST(PosRegister, SaveDoesNothingWhileRestoring)
{
    TempSettings settings;
    SelfSavingWindow window;
    window.setGeometry(120, 80, 400, 300);
    window.show();
    TPosRegister positions(&window, QStringLiteral("DocumentEditor"));
    window.positions = &positions;
    store(settings.accessor(), kKey, {10, 20, 500, 350});

    positions.Restore();
    ASSERT_GT(window.saveAttempts, 0) << "the window did not report its changes at once";
    expectStored(settings.accessor(), {10, 20, 500, 350});
    window.positions = nullptr;
}

TEST(PosRegister, NameIsCutToTwentyCharacters)
{
    TempSettings settings;
    auto window = designedWindow();
    TPosRegister positions(window.get(), QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    EXPECT_EQ(positions.Name(), QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    positions.Save();
    const QString key = QStringLiteral(
        "\\Software\\Korvandelis\\ZelmoraViewer\\2\\Positions\\ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(stored(settings.accessor(), QStringLiteral("Width"), key), 400);
}

TEST(PosRegister, UnwritableStoreDropsTheSaveSilently)
{
    TempSettings settings(TempSettings::Kind::Unwritable);
    auto window = designedWindow();
    TPosRegister positions(window.get(), QStringLiteral("DocumentEditor"));
    EXPECT_NO_THROW(positions.Save());
    // Nothing was stored, so the next Save tries again.
    EXPECT_EQ(positions.LastLeft(), TPosRegister::kUnknown);
    EXPECT_EQ(positions.LastHeight(), TPosRegister::kUnknown);
}

TEST(PosRegister, WithoutAnAccessorNothingHappens)
{
    ASSERT_EQ(TRegistryAccessor::shared(), nullptr);
    auto window = designedWindow();
    TPosRegister positions(window.get(), QStringLiteral("DocumentEditor"));
    positions.Restore();
    positions.Save();
    EXPECT_EQ(window->geometry(), QRect(120, 80, 400, 300));
    EXPECT_EQ(positions.LastLeft(), TPosRegister::kUnknown);
}

} // namespace
