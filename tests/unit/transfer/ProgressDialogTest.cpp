// The progress dialog's behaviour: the bar share of each transfer, cancel,
// showing and hiding around a transfer, the owner disabled while it exists.
#include "transfer/DlgProgress.h"
#include "ui/MessagePump.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace oskel {
namespace {

struct Owner : ui::IOwnerWindow {
    bool enabled = true;
    std::vector<bool> changes;
    void EnableWindow(bool enable) override
    {
        enabled = enable;
        changes.push_back(enable);
    }
    bool IsWindowEnabled() const override { return enabled; }
};

// Runs a callback on each pump; can report a quit.
struct ScriptedPump : ui::IMessagePump {
    ScriptedPump() { ui::SetMessagePump(this); }
    ~ScriptedPump() override { ui::SetMessagePump(nullptr); }
    std::function<void()> onPump;
    int runs = 0;
    bool quit = false;
    bool RunPending() override
    {
        ++runs;
        if (onPump)
            onPump();
        return !quit;
    }
};

struct DialogRig {
    DialogRig()
    {
        auto owned = std::make_unique<ui::RecordedProgressView>();
        view = owned.get();
        dlg = std::make_unique<CDlgProgress>(std::move(owned));
    }
    ui::RecordedProgressView* view;
    std::unique_ptr<CDlgProgress> dlg;
};

TEST(MulDiv, RoundsToNearestWithHalvesAwayFromZero)
{
    struct Case {
        int a, b, c, expected;
    } cases[] = {
        {40, 50, 100, 20}, {1, 50, 100, 1},   {1, 49, 100, 0},   {-1, 50, 100, -1},   {3, 1, 2, 2},
        {7, 0, 100, 0},    {5, 5, 0, -1},     {0x40000000, 4, 1, -1}, {2000000000, 100, 100, 2000000000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

TEST(ProgressBarSink, StepMapsThePercentIntoTheShareOfTheBar)
{
    struct Case {
        int low, high, percent, bar;
    } cases[] = {
        {20, 60, 50, 40}, {20, 60, 100, 60}, {20, 60, 0, 20}, {30, 30, 77, 30}, {0, 100, 33, 33}, {0, 3, 50, 2}, {0, 3, 49, 1},
    };
    for (const Case& c : cases) {
        DialogRig rig;
        ASSERT_TRUE(rig.dlg->Create());
        rig.dlg->m_nLow = c.low;
        rig.dlg->m_nHigh = c.high;
        EXPECT_EQ(rig.dlg->Step(c.percent), 0);
        EXPECT_EQ(rig.view->BarPos(), c.bar) << c.low << ".." << c.high << " at " << c.percent;
    }
}

TEST(DlgProgress, CancelKeepsTheWindowOpenAndEveryLaterStepReturnsTwo)
{
    ScriptedPump pump;
    pump.quit = true; // a quit stays queued for the main loop: the transfer goes on
    DialogRig rig;
    EXPECT_EQ(rig.dlg->Step(5), 0); // no window yet: no bar, but still pumped
    EXPECT_EQ(pump.runs, 1);
    ASSERT_TRUE(rig.dlg->Create());
    rig.dlg->Show();
    EXPECT_EQ(rig.dlg->Step(10), 0);
    pump.onPump = [&] { rig.view->PressCancel(); };
    EXPECT_EQ(rig.dlg->Step(20), 2); // pressed while this Step pumped
    pump.onPump = nullptr;
    EXPECT_EQ(rig.dlg->Step(30), 2);
    EXPECT_EQ(rig.dlg->Begin(), 0);
    EXPECT_EQ(rig.dlg->Step(0), 2);
    EXPECT_TRUE(rig.view->IsVisible());
    rig.dlg->OnOK();
    EXPECT_EQ(rig.dlg->m_bCancelled, 1);
}

TEST(DlgProgress, BeginShowsAHiddenWindowAndTheMatchingEndHidesIt)
{
    DialogRig rig;
    ASSERT_TRUE(rig.dlg->Create());
    EXPECT_FALSE(rig.view->IsVisible());
    rig.dlg->m_nLow = 25;
    rig.dlg->Begin();
    EXPECT_TRUE(rig.view->IsVisible());
    EXPECT_EQ(rig.view->BarPos(), 25);
    rig.dlg->End();
    EXPECT_FALSE(rig.view->IsVisible());

    rig.dlg->Show();
    rig.dlg->Begin();
    EXPECT_EQ(rig.dlg->m_bShownByBegin, 0);
    rig.dlg->End();
    EXPECT_TRUE(rig.view->IsVisible());
}

TEST(DlgProgress, OwnerIsDisabledWhileTheWindowExistsAndEnabledBeforeItGoes)
{
    Owner owner;
    DialogRig rig;
    ASSERT_TRUE(rig.dlg->Create(&owner));
    EXPECT_EQ(rig.view->Owner(), &owner);
    EXPECT_FALSE(owner.enabled);

    rig.view->FailNextDestroy();
    EXPECT_EQ(rig.dlg->DestroyWindow(), 0);
    EXPECT_FALSE(owner.enabled);
    EXPECT_TRUE(rig.view->Exists());

    EXPECT_EQ(rig.dlg->DestroyWindow(), 1);
    EXPECT_TRUE(owner.enabled);
    EXPECT_TRUE(rig.view->OwnerEnabledAtDestroy());
    EXPECT_EQ(owner.changes, (std::vector<bool>{false, true, false, true}));

    ASSERT_TRUE(rig.dlg->Create(&owner));
    rig.dlg.reset(); // deleted with its window
    EXPECT_TRUE(owner.enabled);
}

} // namespace
} // namespace oskel
