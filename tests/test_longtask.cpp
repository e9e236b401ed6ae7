// A long command's progress: the dialog's delay, Cancel, and the owner's window closing.
#include "app/longtask.h"
#include "support/progresscancel.h"
#include "support/windowsystem.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWindow>
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
    EXPECT_EQ(dialog->windowHandle()->transientParent(), owner.windowHandle()) << "kept above the owner's window";
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

// The window manager's close is the user's doing too, yet it comes through at once, before the
// dialog shows and while it does: the user can always close the window, and so quit.
TEST_F(LongTaskTest, TheWindowManagersCloseOfTheOwnersWindowCancelsAndClosesIt)
{
    {
        LongTask task(&owner, QStringLiteral("Long"), 300);
        QTimer::singleShot(50, &owner, [this] { closeFromWindowManager(&owner); });
        EXPECT_LT(work(task, 300, 5), 300);
        EXPECT_TRUE(task.canceled());
        EXPECT_FALSE(owner.isVisible());
    }
    EXPECT_EQ(shownProgress(), nullptr) << "closed before the dialog showed";

    owner.show();
    ProgressShown closing([this](QProgressDialog&) { closeFromWindowManager(&owner); });
    LongTask task(&owner, QStringLiteral("Long"), 300);
    EXPECT_LT(work(task, 300, 5), 300);
    EXPECT_TRUE(closing.acted());
    EXPECT_TRUE(task.canceled());
    EXPECT_FALSE(owner.isVisible());
}

// The command's own window must not start a second command beneath the first.
TEST_F(LongTaskTest, WhileItRunsClicksReachOnlyItsDialog)
{
    QPushButton command(QStringLiteral("Command"), &owner);
    command.show();
    int started = 0;
    QObject::connect(&command, &QPushButton::clicked, [&started] { ++started; });
    {
        ProgressShown cancelling([&command](QProgressDialog& dialog) {
            clickFromWindowSystem(&command);
            clickFromWindowSystem(dialog.findChild<QPushButton*>());
        });
        LongTask task(&owner, QStringLiteral("Long"), 1000);
        QTimer::singleShot(0, &command, [&command] { clickFromWindowSystem(&command); });
        EXPECT_LT(work(task, 1000, 5), 1000) << "Cancel took its click";
        EXPECT_TRUE(cancelling.acted());
        EXPECT_EQ(started, 0) << "neither before the dialog showed nor while it did";
    }
    clickFromWindowSystem(&command);
    QApplication::processEvents();
    EXPECT_EQ(started, 1) << "once the task has ended";
}

// A window opened while the task lets events run (a message, say) runs events of its own: it takes
// the user's clicks, or it could never be closed.
TEST_F(LongTaskTest, AWindowOpenedMeanwhileTakesClicks)
{
    LongTask task(&owner, QStringLiteral("Long"), 100);
    int answer = -1;
    QTimer::singleShot(20, &owner, [this, &answer] {
        QDialog message(&owner);
        auto* ok = new QPushButton(QStringLiteral("OK"), &message);
        QObject::connect(ok, &QPushButton::clicked, &message, &QDialog::accept);
        QTimer::singleShot(50, ok, [ok] { clickFromWindowSystem(ok); });
        QTimer::singleShot(3000, &message, &QDialog::reject);
        answer = message.exec();
    });
    work(task, 100, 5);
    EXPECT_EQ(answer, QDialog::Accepted);
}
