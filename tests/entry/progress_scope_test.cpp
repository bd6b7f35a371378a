// Long work reported through ProgressScope: what a receiver is told, how the
// scripted user's Cancel stops the work, and work with nobody watching.
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include "host/progress.h"
#include "support/scripted_ui.h"

namespace orva {
namespace {

// Work of `total` steps that stops when the user cancels; returns the steps
// begun.
int Work(int total, bool cancellable = true) {
    ProgressScope progress("批量新增", total, "", cancellable);
    int begun = 0;
    for (int i = 0; i < total; ++i) {
        if (!progress.Step(i, "member " + std::to_string(i)))
            break;
        ++begun;
    }
    return begun;
}

TEST(ProgressScope, TheScriptedUserStopsTheWorkAtTheChosenStep) {
    struct Case {
        int total;
        std::int64_t cancelAt;
        int presses;
        int begun;  // steps the work went through
    };
    const std::vector<Case> cases = {
        {10, 0, 1, 0},    // before the first step: nothing is begun
        {10, 3, 1, 3},    // in the middle
        {10, 9, 1, 9},    // before the last step: the last is not begun
        {10, 4, 2, 4},    // Cancel pressed twice stops once
        {10, 10, 1, 10},  // a step never reported: the work completes
    };
    for (const Case& c : cases) {
        ScriptedUiScope ui;
        ui->CancelProgressAt(c.cancelAt, c.presses);
        EXPECT_EQ(Work(c.total), c.begun) << "cancel at " << c.cancelAt;
        ASSERT_EQ(ui->Progresses().size(), 1u);
        const ScriptedUi::ProgressRun& run = ui->Progresses()[0];
        EXPECT_EQ(run.caption, "批量新增");
        EXPECT_EQ(run.total, c.total);
        EXPECT_TRUE(run.ended);
        // The step at which Cancel came is reported; none after it.
        const std::size_t reported = std::min(c.begun + 1, c.total);
        ASSERT_EQ(run.steps.size(), reported);
        EXPECT_EQ(run.steps.back().done, static_cast<std::int64_t>(reported - 1));
        EXPECT_EQ(run.steps.back().text, "member " + std::to_string(reported - 1));
    }
}

TEST(ProgressScope, WorkThatCannotBeStoppedLeavesTheCancelToTheNextThatCan) {
    ScriptedUiScope ui;
    ui->CancelProgressAt(2);
    EXPECT_EQ(Work(5, false), 5);
    EXPECT_FALSE(ui->Progresses().at(0).cancellable);
    EXPECT_EQ(Work(5), 2);
}

TEST(ProgressScope, CancelAppliesToTheNextWorkOnlyAndNobodyWatchingMeansGoOn) {
    ScriptedUiScope ui;
    ui->CancelProgressAt(1);
    EXPECT_EQ(Work(4), 1);
    EXPECT_EQ(Work(4), 4);  // the second run is not stopped
    ASSERT_EQ(ui->Progresses().size(), 2u);
    EXPECT_EQ(ui->Progresses()[1].steps.size(), 4u);

    // A message box shown while work runs is recorded as over the progress.
    {
        ProgressScope progress("批量修改", 1);
        CurrentUi().MessageBox("低于最低限价", MsgButtons::kYesNo, MsgIcon::kQuestion, "");
        progress.End();
        CurrentUi().MessageBox("此次共修改0条记录！", MsgButtons::kOK, MsgIcon::kNone, "");
    }
    ASSERT_EQ(ui->MessageBoxes().size(), 2u);
    EXPECT_TRUE(ui->MessageBoxes()[0].overProgress);
    EXPECT_FALSE(ui->MessageBoxes()[1].overProgress);
}

TEST(ProgressScope, WithoutAReceiverEveryStepGoesOn) {
    // The headless interface shows no progress.
    SetCurrentUi(nullptr);
    ProgressScope progress("批量删除", 3);
    EXPECT_FALSE(progress.Watched());
    EXPECT_TRUE(progress.Step(0, "x"));
    EXPECT_FALSE(progress.Cancelled());
}

}  // namespace
}  // namespace orva
