#include "TEntertainer.h"
#include "TQorIdleControl.h"
#include "TQorIdleOutlet.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Runs one idle event through the installed handler, as the event dispatcher would; returns
// the done flag.
bool idle()
{
    TEntertainer& dispatcher = TEntertainer::instance();
    bool done = true;
    switch (dispatcher.installedHandler()) {
    case TEntertainer::Handler::DispatchAll:
        dispatcher.DispatchAll(QCoreApplication::instance(), done);
        break;
    case TEntertainer::Handler::DispatchRoundRobin:
        dispatcher.DispatchRoundRobin(QCoreApplication::instance(), done);
        break;
    case TEntertainer::Handler::None:
        break;
    }
    return done;
}

// The wanting count always equals the number of registered outlets that want more.
void expectConsistent()
{
    TEntertainer& dispatcher = TEntertainer::instance();
    int wanting = 0;
    for (int i = 0; i < dispatcher.count(); ++i)
        wanting += dispatcher.outlet(i)->WantsMore() ? 1 : 0;
    EXPECT_EQ(dispatcher.wantingCount(), wanting);
    EXPECT_GE(dispatcher.wantingCount(), 0);
}

// Outlets named by a letter that write it into a shared call log.
class IdleTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(TEntertainer::instance().count(), 0) << "an earlier test left outlets behind";
        TEntertainer::SetSlowMotion(0);
    }
    void TearDown() override
    {
        outlets.clear();
        EXPECT_EQ(TEntertainer::instance().count(), 0);
        EXPECT_EQ(TEntertainer::instance().installedHandler(), TEntertainer::Handler::None);
    }

    TQorIdleOutlet& add(char name, int priority = 1, bool leaveDone = true)
    {
        outlets.push_back(std::make_unique<TQorIdleOutlet>());
        TQorIdleOutlet& outlet = *outlets.back();
        outlet.SetPriority(priority);
        outlet.SetOnIdle([this, name, leaveDone](QObject* sender, bool& done) {
            EXPECT_EQ(sender, QCoreApplication::instance());
            EXPECT_TRUE(done);
            calls += name;
            if (!leaveDone)
                done = false;
        });
        return outlet;
    }

    // Idle events until the dispatcher lets the loop wait, at most limit of them.
    std::vector<bool> idlePeriod(int limit = 20)
    {
        std::vector<bool> results;
        for (int i = 0; i < limit; ++i) {
            results.push_back(idle());
            expectConsistent();
            if (results.back())
                break;
        }
        return results;
    }

    std::string calls;
    std::vector<std::unique_ptr<TQorIdleOutlet>> outlets;
};

TEST_F(IdleTest, RoundRobinServesOneOutletPerIdleEventThenWaits)
{
    add('A');
    add('B');
    EXPECT_EQ(TEntertainer::instance().installedHandler(),
              TEntertainer::Handler::DispatchRoundRobin);
    EXPECT_EQ(idlePeriod(), (std::vector<bool>{false, true}));
    EXPECT_EQ(calls, "AB");
    EXPECT_EQ(idlePeriod(), (std::vector<bool>{false, true}));
    EXPECT_EQ(calls, "ABAB");
}

TEST_F(IdleTest, PriorityZeroIsCalledAtEveryIdleEventOutsideTheRound)
{
    add('Z', 0);
    EXPECT_EQ(TEntertainer::instance().installedHandler(), TEntertainer::Handler::DispatchAll);
    EXPECT_EQ(TEntertainer::instance().everyTimeCount(), 1);
    EXPECT_TRUE(idle());
    EXPECT_TRUE(idle());
    EXPECT_EQ(calls, "ZZ");
    EXPECT_FALSE(TEntertainer::instance().FindNextOutlet(true));
}

TEST_F(IdleTest, PriorityZeroJoiningARunningRoundIsServedToo)
{
    add('A');
    add('Z', 0);
    EXPECT_EQ(TEntertainer::instance().installedHandler(), TEntertainer::Handler::DispatchAll);
    idle();
    idle();
    EXPECT_EQ(calls, "ZAZA");

    outlets[1]->SetPriority(2);
    EXPECT_EQ(TEntertainer::instance().installedHandler(),
              TEntertainer::Handler::DispatchRoundRobin);
    EXPECT_EQ(TEntertainer::instance().everyTimeCount(), 0);
    outlets[0]->SetPriority(0);
    EXPECT_EQ(TEntertainer::instance().installedHandler(), TEntertainer::Handler::DispatchAll);
    outlets[1].reset();
    EXPECT_EQ(TEntertainer::instance().installedHandler(), TEntertainer::Handler::DispatchAll);
}

TEST_F(IdleTest, AskingForMoreTimeKeepsIdlingUntilTheHandlerIsSatisfied)
{
    int rounds = 3;
    TQorIdleOutlet outlet;
    outlet.SetOnIdle([&](QObject*, bool& done) { done = --rounds <= 0; });
    EXPECT_FALSE(idle());
    EXPECT_EQ(TEntertainer::instance().wantingCount(), 1);
    EXPECT_TRUE(outlet.WantsMore());
    EXPECT_FALSE(idle());
    EXPECT_TRUE(idle());
    EXPECT_EQ(TEntertainer::instance().wantingCount(), 0);
    EXPECT_FALSE(outlet.WantsMore());
}

TEST_F(IdleTest, ThrottledRoundGivesPriorityNATurnEveryNthPass)
{
    TQorIdleOutlet& greedy = add('A', 1, false);
    add('B', 3);
    for (int i = 0; i < 10; ++i) {
        EXPECT_FALSE(idle());
        expectConsistent();
    }
    EXPECT_EQ(calls, "ABAAABAAAB");

    // Once nobody asks for more, the next round is fresh again: everybody in turn.
    greedy.SetOnIdle([this](QObject*, bool&) { calls += 'a'; });
    calls.clear();
    idlePeriod();
    idlePeriod();
    EXPECT_EQ(calls, "aBaB");
}

TEST_F(IdleTest, DisabledOutletIsPassedAsServedButNotCalled)
{
    TQorIdleOutlet& a = add('A');
    add('B');
    a.SetEnabled(false);
    EXPECT_EQ(idlePeriod(), (std::vector<bool>{false, true}));
    EXPECT_EQ(calls, "B");
    a.SetEnabled(true);
    idlePeriod();
    EXPECT_EQ(calls, "BAB");
}

TEST_F(IdleTest, OutletDisabledWhileAskingForMoreLetsTheLoopWait)
{
    TQorIdleOutlet& greedy = add('G', 1, false);
    add('B');
    idlePeriod(3);
    EXPECT_EQ(TEntertainer::instance().wantingCount(), 1);
    greedy.SetEnabled(false);
    calls.clear();
    const std::vector<bool> results = idlePeriod();
    EXPECT_TRUE(results.back()) << "the loop never got to wait";
    EXPECT_LE(results.size(), 3u);
    EXPECT_EQ(calls.find('G'), std::string::npos);
    EXPECT_EQ(TEntertainer::instance().wantingCount(), 0);
}

TEST_F(IdleTest, OutletLeavingDuringItsCallDoesNotMakeTheRoundSkipTheNext)
{
    add('A');
    outlets.push_back(std::make_unique<TQorIdleOutlet>());
    TQorIdleOutlet& b = *outlets.back();
    b.SetOnIdle([&](QObject*, bool& done) {
        calls += 'B';
        done = false;
        b.SetOnIdle(nullptr);
    });
    add('C');

    EXPECT_EQ(idlePeriod(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(calls, "ABC");
    EXPECT_FALSE(b.Registered());
    EXPECT_FALSE(b.WantsMore()) << "an outlet that left must not be touched again";
    EXPECT_EQ(TEntertainer::instance().wantingCount(), 0);
    idlePeriod();
    EXPECT_EQ(calls, "ABCAC");
}

TEST_F(IdleTest, OutletDestroyedDuringItsCallIsNotTouchedAgain)
{
    add('A');
    outlets.push_back(std::make_unique<TQorIdleOutlet>());
    const size_t doomed = outlets.size() - 1;
    outlets[doomed]->SetOnIdle([this, doomed](QObject*, bool& done) {
        calls += 'X';
        done = false;
        outlets[doomed].reset();
    });
    add('C');
    idlePeriod();
    idlePeriod();
    EXPECT_EQ(calls, "AXCAC");
    EXPECT_EQ(TEntertainer::instance().count(), 2);
}

TEST_F(IdleTest, EveryTimeOutletLeavingDuringItsCallDoesNotSkipTheNext)
{
    outlets.push_back(std::make_unique<TQorIdleOutlet>());
    TQorIdleOutlet& x = *outlets.back();
    x.SetPriority(0);
    x.SetOnIdle([&](QObject*, bool&) {
        calls += 'X';
        x.SetOnIdle(nullptr);
    });
    add('Y', 0);
    add('A');
    EXPECT_TRUE(idle());
    EXPECT_EQ(calls, "XYA");
    EXPECT_EQ(TEntertainer::instance().everyTimeCount(), 1);
    EXPECT_TRUE(idle());
    EXPECT_EQ(calls, "XYAYA");
}

TEST_F(IdleTest, HandlerMayUnregisterOthersDuringItsCall)
{
    add('A');
    add('B');
    add('C');
    add('D');
    // B removes A (before it) and C (after it): the round goes on with D.
    outlets[1]->SetOnIdle([this](QObject*, bool&) {
        calls += 'B';
        outlets[0]->SetOnIdle(nullptr);
        outlets[2]->SetOnIdle(nullptr);
    });
    idlePeriod();
    EXPECT_EQ(calls, "ABD");
    idlePeriod();
    EXPECT_EQ(calls, "ABDBD");
}

TEST_F(IdleTest, FirstOutletLeavingBetweenIdleEventsLeavesTheRoundOnTheNext)
{
    add('A');
    add('B');
    outlets[0]->SetOnIdle(nullptr);
    EXPECT_TRUE(idle());
    EXPECT_EQ(calls, "B");
    EXPECT_GE(TEntertainer::instance().roundPosition(), 0);
}

TEST_F(IdleTest, HandlerAssigningItselfAnewKeepsTheWantingCountTrue)
{
    outlets.push_back(std::make_unique<TQorIdleOutlet>());
    TQorIdleOutlet& a = *outlets.back();
    TIdleEvent again = [&](QObject*, bool& done) {
        calls += 'A';
        done = false;
        a.SetOnIdle(again);
    };
    a.SetOnIdle(again);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(idle());
        expectConsistent();
        EXPECT_EQ(TEntertainer::instance().wantingCount(), 1);
    }
    a.SetOnIdle([&](QObject*, bool&) { calls += 'a'; });
    expectConsistent();
    EXPECT_TRUE(idle());
    EXPECT_EQ(calls, "AAAa");
}

TEST_F(IdleTest, ReassigningAHandlerGivesATurnAtTheFirstPassAndDropsTheRequest)
{
    TQorIdleOutlet& a = add('A', 5, false);
    idle();
    EXPECT_TRUE(a.WantsMore());
    a.SetOnIdle([this](QObject*, bool&) { calls += 'a'; });
    EXPECT_FALSE(a.WantsMore());
    EXPECT_EQ(a.SkipCount(), TQorIdleOutlet::kFreshSkipCount);
    EXPECT_EQ(TEntertainer::instance().wantingCount(), 0);
}

TEST_F(IdleTest, OutOfRangeValuesAreIgnored)
{
    TQorIdleOutlet& outlet = add('A', 7);
    for (int priority : {-1, 10000, -9999, 100000}) {
        outlet.SetPriority(priority);
        EXPECT_EQ(outlet.Priority(), 7) << priority;
    }
    outlet.SetPriority(9999);
    EXPECT_EQ(outlet.Priority(), 9999);
    outlet.SetPriority(0);
    EXPECT_EQ(outlet.Priority(), 0);

    outlet.SetDelay(5);
    outlet.SetDelay(-1);
    EXPECT_EQ(outlet.Delay(), 5);
    TQorIdleControl::SetSlowMotion(3);
    TQorIdleControl::SetSlowMotion(-1);
    EXPECT_EQ(TQorIdleControl::SlowMotion(), 3);
    TQorIdleControl::SetSlowMotion(0);
}

TEST_F(IdleTest, ControlRegistersWhileItHasAHandler)
{
    auto control = std::make_unique<TQorIdleControl>();
    EXPECT_EQ(control->Priority(), 1);
    EXPECT_TRUE(control->Enabled());
    EXPECT_EQ(control->Delay(), 0);
    EXPECT_EQ(TEntertainer::instance().count(), 0);

    control->SetPriority(0);
    control->SetOnIdle([this](QObject*, bool&) { calls += 'C'; });
    EXPECT_TRUE(control->Outlet().Registered());
    EXPECT_EQ(TEntertainer::instance().count(), 1);
    EXPECT_EQ(TEntertainer::instance().everyTimeCount(), 1);
    idle();
    control->SetEnabled(false);
    idle();
    EXPECT_EQ(calls, "C");

    control.reset();
    EXPECT_EQ(TEntertainer::instance().count(), 0);
    EXPECT_EQ(TEntertainer::instance().everyTimeCount(), 0);
}

TEST_F(IdleTest, ApplicationLoopRunsTheHandlersAndDoesNotWaitWhileMoreIsWanted)
{
    QEventLoop loop;
    int turns = 0;
    TQorIdleControl control;
    control.SetOnIdle([&](QObject*, bool& done) {
        // Nothing else happens in this loop: only the dispatcher's wake-ups bring it back.
        if (++turns == 50)
            loop.quit();
        done = false;
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    guard.start(20000);
    loop.exec();
    EXPECT_EQ(turns, 50);
}

TEST_F(IdleTest, ApplicationLoopServesEveryOutletOfTheRound)
{
    QEventLoop loop;
    std::string seen;
    TQorIdleControl a;
    TQorIdleControl b;
    a.SetOnIdle([&](QObject*, bool&) { seen += 'A'; });
    b.SetOnIdle([&](QObject*, bool&) {
        seen += 'B';
        loop.quit();
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    guard.start(20000);
    loop.exec();
    EXPECT_EQ(seen, "AB");
}

} // namespace
