// A long command's progress: the dialog's delay, Cancel, and the owner's window closing.
#include "app/longtask.h"
#include "support/progresscancel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QProgressDialog* shownProgress()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QProgressDialog*>(window); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}

// Runs `task` over `units` units, each taking about `unitMs`, until it is done or says stop;
// returns the units done.
int work(LongTask& task, int units, int unitMs)
{
    int done = 0;
    for (; done < units && task.keepGoing(done); ++done)
        QThread::msleep(unitMs);
    return done;
}

class LongTaskTest : public testing::Test
{
protected:
    void SetUp() override { owner.show(); }
    QWidget owner;
};

} // namespace

TEST_F(LongTaskTest, AQuickCommandShowsNoDialogAndALongOneShowsItWithItsProgress)
{
    {
        LongTask task(&owner, QStringLiteral("Quick"), 10);
        EXPECT_EQ(work(task, 10, 20), 10);
        EXPECT_EQ(shownProgress(), nullptr) << "less than the delay";
    }
    LongTask task(&owner, QStringLiteral("Long"), 100);
    QElapsedTimer clock;
    clock.start();
    int doneWhenShown = -1;
    for (int done = 0; done < 100 && task.keepGoing(done); ++done) {
        if (shownProgress() && doneWhenShown < 0) {
            doneWhenShown = done;
            EXPECT_GE(clock.elapsed(), LongTask::dialogDelayMs);
        }
        QThread::msleep(10);
    }
    ASSERT_GE(doneWhenShown, 0) << "a second of work shows the dialog";
    QProgressDialog* dialog = shownProgress();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->labelText(), QStringLiteral("Long"));
    EXPECT_GT(dialog->value(), dialog->maximum() / 2);
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    task.finish();
    QApplication::processEvents();
    EXPECT_EQ(shownProgress(), nullptr) << "finish takes the dialog away";
}

TEST_F(LongTaskTest, WorkThatCannotBeCountedShowsItsLabelAndABusyBar)
{
    const auto busyWith = [](const QString& label) {
        const QProgressDialog* dialog = shownProgress();
        return dialog && dialog->labelText() == label && dialog->minimum() == 0 && dialog->maximum() == 0;
    };
    {
        LongTask task(&owner, QStringLiteral("Counted"), 100);
        work(task, 70, 10);
        ASSERT_NE(shownProgress(), nullptr);
        task.setUncounted(QStringLiteral("Writing"));
        EXPECT_TRUE(busyWith(QStringLiteral("Writing"))) << "the dialog already shown changes at once";
        EXPECT_EQ(work(task, 10, 10), 10) << "and the work goes on";
        EXPECT_TRUE(busyWith(QStringLiteral("Writing")));
    }
    QApplication::processEvents();
    LongTask task(&owner, QStringLiteral("Counted"), 100);
    task.setUncounted(QStringLiteral("Writing"));
    work(task, 70, 10);
    EXPECT_TRUE(busyWith(QStringLiteral("Writing"))) << "a dialog shown later shows it too";
}

TEST_F(LongTaskTest, CancelStopsTheWork)
{
    ProgressCancel cancel;
    LongTask task(&owner, QStringLiteral("Long"), 1000);
    const int done = work(task, 1000, 5);
    EXPECT_TRUE(cancel.pressed());
    EXPECT_LT(done, 1000);
    EXPECT_TRUE(task.canceled());
    EXPECT_FALSE(task.keepGoing(done)) << "cancelled stays cancelled";
}

TEST_F(LongTaskTest, ClosingTheOwnersWindowCancels)
{
    LongTask task(&owner, QStringLiteral("Long"), 1000);
    QTimer::singleShot(50, &owner, [this] { owner.close(); });
    EXPECT_LT(work(task, 1000, 5), 1000);
    EXPECT_TRUE(task.canceled());
}
