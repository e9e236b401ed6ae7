// The error report's text and the rule that a procedure goes on after a failing step.
#include "app/errortrap.h"
#include "base/errorreport.h"
#include "base/failure.h"
#include "base/progress.h"
#include "support/scriptedprompter.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {
[[noreturn]] void fail(const char* what)
{
    throw std::runtime_error(what);
}

// A routine without a trap of its own: a failure skips the rest of it.
void untrappedRoutine(QStringList& done)
{
    done.append(u"routine start"_s);
    fail("inside the routine");
    done.append(u"routine end"_s);
}
} // namespace

TEST(ErrorReport, TextIsBuiltPieceByPiece)
{
    const QString text = errorReportText(u"Could not find file 'x'."_s, errorLocation(u"Form1", u"Form_Load"), 142);
    EXPECT_EQ(text, u"Could not find file 'x'.\r\nin Quorvane2021/08/31.Form1.Form_Load at line 142\r\r"
                    "Please email screenshot of this message to support@marrowfen.example");
    EXPECT_TRUE(errorLocation(u"Form2", u"PushButton10_Click").endsWith(u"PushButton10_Click "));
}

TEST(ErrorReport, ShownAsWarningBoxCaptionedApplicationError)
{
    ScriptedPrompter boxes;
    showErrorReport(QString(), errorLocation(u"Form3", u"Form_Load"), 116);
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(boxes.messages[0].caption, u"Application Error");
    EXPECT_EQ(boxes.messages[0].icon, MessageIcon::Warning);
    // An empty description still leads the text unchanged.
    EXPECT_TRUE(boxes.messages[0].text.startsWith(u"\r\nin Quorvane2021/08/31.Form3.Form_Load at line 116\r\r"));
}

TEST(ErrorTrap, FailingStepIsReportedAndTheNextStepRuns)
{
    ScriptedPrompter boxes;
    QStringList done;
    ErrorTrap trap(u"Form1", u"Form_Load");
    EXPECT_FALSE(trap.step(100, [&] { fail("first"); }));
    EXPECT_TRUE(trap.step(102, [&] { done.append(u"102"_s); }));
    trap.step(104, [&] { throw Failure(u"second ☕"_s); });
    trap.step(106, [&] { done.append(u"106"_s); });
    EXPECT_EQ(done, (QStringList{u"102"_s, u"106"_s}));
    ASSERT_EQ(boxes.errorReports().size(), 2);
    EXPECT_TRUE(boxes.errorReports()[0].startsWith(u"first\r\nin Quorvane2021/08/31.Form1.Form_Load at line 100\r\r"));
    EXPECT_TRUE(boxes.errorReports()[1].startsWith(u"second ☕\r\n"));
    EXPECT_NE(boxes.errorReports()[1].indexOf(u"at line 104\r\r"), -1);
}

TEST(ErrorTrap, FailingTestRunsWhatItGuards)
{
    ScriptedPrompter boxes;
    ErrorTrap trap(u"Form1", u"Form_Load");
    bool guardedRan = false;
    if (trap.test(108, [&]() -> bool { fail("cannot look"); }))
        guardedRan = true;
    EXPECT_TRUE(guardedRan);
    EXPECT_FALSE(trap.test(108, [] { return false; }));
    ASSERT_EQ(boxes.errorReports().size(), 1);
    EXPECT_NE(boxes.errorReports()[0].indexOf(u"at line 108"), -1);
}

TEST(ErrorTrap, FailureInsideAnUntrappedRoutineCarriesTheCallingStep)
{
    ScriptedPrompter boxes;
    QStringList done;
    ErrorTrap trap(u"Form1", u"Form_Load");
    trap.step(112, [&] { untrappedRoutine(done); });
    trap.step(116, [&] { done.append(u"next step"_s); });
    EXPECT_EQ(done, (QStringList{u"routine start"_s, u"next step"_s}));
    ASSERT_EQ(boxes.errorReports().size(), 1);
    EXPECT_NE(boxes.errorReports()[0].indexOf(u"Form1.Form_Load at line 112"), -1);
}

TEST(ErrorTrap, LoopWhoseHeadFailsEndsAfterOneReport)
{
    ScriptedPrompter boxes;
    ErrorTrap trap(u"Form1", u"ListData");
    int bodies = 0;
    trap.loop(
        110, [&]() -> bool { fail("not open"); }, [&] { ++bodies; });
    EXPECT_EQ(bodies, 0);
    EXPECT_EQ(boxes.errorReports().size(), 1);
}

TEST(ErrorTrap, LoopBodyFailuresGoOnAndABodyCanEndTheLoop)
{
    ScriptedPrompter boxes;
    ErrorTrap trap(u"Form1", u"ListData");
    int row = 0;
    QList<int> seen;
    trap.loop(
        110, [&] { return row < 3; },
        [&] {
            trap.step(112, [&] {
                if (row == 1)
                    fail("bad cell");
                seen.append(row);
            });
            ++row;
        });
    EXPECT_EQ(seen, (QList<int>{0, 2}));
    EXPECT_EQ(boxes.errorReports().size(), 1);

    int passes = 0;
    trap.loop(
        110, [] { return true; },
        [&] {
            ++passes;
            return trap.step(144, [] { fail("cannot move"); });
        });
    EXPECT_EQ(passes, 1);
    EXPECT_EQ(boxes.errorReports().size(), 2);
}

TEST(ErrorTrap, TheSameFailureInALoopIsReportedOnce)
{
    ScriptedPrompter boxes;
    ErrorTrap trap(u"Form1", u"PushButton5_Click");
    int row = 0, tried = 0;
    trap.loop(
        116, [&] { return row < 1000; },
        [&] {
            trap.step(120, [&] {
                ++tried;
                fail("no such table: tblReport");
            });
            trap.step(120, [&] { fail(row == 500 ? "another fault" : "no such table: tblReport"); });
            ++row;
        });
    EXPECT_EQ(tried, 1000);
    EXPECT_EQ(boxes.errorReports().size(), 2);
    // Another run of the procedure reports afresh.
    ErrorTrap again(u"Form1", u"PushButton5_Click");
    again.step(120, [] { fail("no such table: tblReport"); });
    EXPECT_EQ(boxes.errorReports().size(), 3);
}

TEST(ErrorTrap, CountsEveryFailureButNoCancelledStep)
{
    ScriptedPrompter boxes;
    ErrorTrap trap(u"Form1", u"PushButton5_Click");
    trap.step(112, [] { throw Cancelled{}; });
    EXPECT_EQ(trap.failures(), 0);
    int row = 0;
    trap.loop(
        116, [&] { return row < 3; },
        [&] {
            trap.test(118, [&]() -> bool { fail("no such column: paymenttype"); });
            ++row;
        });
    EXPECT_EQ(boxes.errorReports().size(), 1);
    EXPECT_EQ(trap.failures(), 3) << "reported once, failed on every row";
    trap.loop(
        116, []() -> bool { fail("not open"); }, [] {});
    EXPECT_EQ(trap.failures(), 4);
}
