// The safety net as the user meets it: the start-up check and backup, the last backup of a run,
// the Backups dialog from the list's context menu, the damaged-ledger offer and quorvane --restore.
#include "base/paths.h"
#include "ledgerlist/ledgermodel.h"
#include "store/backups.h"
#include "store/programconnection.h"
#include "support/ledgerfixture.h"
#include "support/ledgersnapshot.h"
#include "support/modal.h"
#include "support/printers.h"
#include "support/scriptedprompter.h"
#include "ui/backups/safetynet.h"
#include "ui/main/form1.h"
#include "ui/main/ledgerhistory.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUndoStack>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class SafetyNetTest : public testing::Test
{
protected:
    void SetUp() override
    {
        window.Form_Load();
        addEntry(sampleEntry(u"Gig"_s, u"100"_s));
        addEntry(sampleEntry(u"Rent"_s, u"40"_s, Direction::PaidOut));
        window.ListData();
    }

    LedgerBackups& backups() const { return window.safetyNet()->backups(); }
    LedgerSnapshot ledger() const { return snapshotLedger(databaseFile()); }

    void startAndWait()
    {
        window.startSafetyNet();
        window.safetyNet()->waitUntilIdle();
    }

    // Opens the list's context menu from the keyboard, triggers the entry whose text starts so, and
    // returns when that command has ended.
    void chooseFromMenu(const QString& entry)
    {
        bool done = false;
        QTimer::singleShot(0, [entry, &done] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            for (QAction* action : menu->actions()) {
                if (action->text().startsWith(entry)) {
                    // As the user picks it: the menu closes, then the command runs.
                    menu->setActiveAction(action);
                    QTest::keyClick(menu, Qt::Key_Return);
                    done = true;
                    return;
                }
            }
            ADD_FAILURE() << "no " << entry.toStdString() << " in the menu";
            menu->close();
            done = true;
        });
        window.show();
        QApplication::setActiveWindow(&window);
        window.listView()->setFocus();
        QTest::keyClick(window.windowHandle(), Qt::Key_Menu);
        EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 10000));
    }

    ScriptedPrompter boxes;
    Form1 window;
};

// Writes junk over the ledger table's pages, as a failing disk would.
void damage(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(4096);
    file.write(QByteArray(200, '\x7f'));
}

} // namespace

TEST_F(SafetyNetTest, StartUpBacksUpOnceAndAChangedRunBacksUpAgainAtClose)
{
    startAndWait();
    ASSERT_EQ(backups().list().size(), 1);
    EXPECT_EQ(snapshotLedger(backups().list()[0].path), ledger());
    EXPECT_TRUE(boxes.messages.isEmpty());

    window.show();
    window.close();
    EXPECT_EQ(backups().list().size(), 1) << "a run that changed nothing adds no backup";

    Form1 second;
    second.Form_Load();
    second.startSafetyNet();
    second.safetyNet()->waitUntilIdle();
    EXPECT_EQ(second.safetyNet()->backups().list().size(), 1) << "an unchanged ledger is not backed up again";
    second.listView()->selectRow(0);
    second.findChild<QPushButton*>(u"PushButton3"_s)->click();
    second.show();
    second.close();
    const QList<BackupFile> after = second.safetyNet()->backups().list();
    ASSERT_EQ(after.size(), 2);
    EXPECT_EQ(snapshotLedger(after[0].path), ledger());
}

TEST_F(SafetyNetTest, TheBackupsDialogListsTheBackupsAndRestoresTheChosenOne)
{
    startAndWait();
    const LedgerSnapshot backedUp = ledger();
    window.listView()->selectRow(0);
    window.findChild<QPushButton*>(u"PushButton3"_s)->click();
    ASSERT_EQ(window.ledgerModel()->rowCount(), 1);
    const LedgerSnapshot afterDelete = ledger();

    QStringList shown;
    boxes.yesNoAnswers = {true};
    whenModalOpens([&](QWidget* dialog) {
        auto* list = dialog->findChild<QTreeWidget*>(u"BackupsList"_s);
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->topLevelItemCount(), 1);
        for (int c = 1; c < list->columnCount(); ++c)
            shown.append(list->topLevelItem(0)->text(c));
        dialog->findChild<QPushButton*>(u"RestoreButton"_s)->click();
    });
    chooseFromMenu(u"Backups"_s);
    EXPECT_EQ(shown, (QStringList{u"2"_s, u"$ 100.00"_s, u"$ 40.00"_s, u"$ 60.00"_s}));
    EXPECT_EQ(ledger(), backedUp);
    EXPECT_EQ(window.ledgerModel()->rowCount(), 2) << "the list is refilled from the restored ledger";
    EXPECT_EQ(window.summaryLabels()[2]->text(), u"Balance: $ 60.00");
    // The ledger as it was before the restore is a backup of its own now.
    const QList<BackupFile> all = backups().list();
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(snapshotLedger(all[0].path), afterDelete);
    EXPECT_TRUE(boxes.texts().last().contains(u"The ledger as it was is backed up in '"_s + all[0].path + u"'."_s))
        << boxes.texts().join(u"\n").toStdString();
    EXPECT_EQ(window.history()->stack()->count(), 0) << "undo steps of the replaced ledger are gone";
    EXPECT_TRUE(boxes.errorReports().isEmpty());
}

TEST_F(SafetyNetTest, ADamagedLedgerIsOfferedItsNewestGoodBackupAndNothingIsWrittenWithoutYes)
{
    startAndWait();
    const LedgerSnapshot good = ledger();
    ConnSlot().reset();
    damage(databaseFile());
    QFile file(databaseFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray damagedBytes = file.readAll();
    file.close();

    boxes.yesNoAnswers = {false};
    startAndWait();
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_TRUE(boxes.messages[0].text.contains(u"is damaged"_s)) << boxes.messages[0].text.toStdString();
    EXPECT_TRUE(boxes.messages[0].text.contains(u"with 2 entries"_s)) << boxes.messages[0].text.toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), damagedBytes) << "No leaves the damaged ledger untouched";
    file.close();
    EXPECT_EQ(QDir(dataFolder()).entryList({u"dbData.mdb.damaged-*"_s}), QStringList());

    boxes.yesNoAnswers = {true};
    startAndWait();
    EXPECT_EQ(ledger(), good);
    EXPECT_EQ(window.ledgerModel()->rowCount(), 2);
    const QStringList kept = QDir(dataFolder()).entryList({u"dbData.mdb.damaged-*"_s});
    ASSERT_EQ(kept.size(), 1);
    QFile keptFile(QDir(dataFolder()).filePath(kept[0]));
    ASSERT_TRUE(keptFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(keptFile.readAll(), damagedBytes);
    EXPECT_EQ(fileMode(keptFile.fileName()), 0600u);
}

TEST_F(SafetyNetTest, TheCommandLineRestoresABackupAndSaysWhatItDid)
{
    startAndWait();
    const BackupFile backup = backups().list()[0];
    const LedgerSnapshot backedUp = ledger();
    addEntry(sampleEntry(u"Later"_s, u"5"_s));
    const LedgerSnapshot later = ledger();

    QProcess quorvane;
    quorvane.start(QCoreApplication::applicationDirPath() + u"/quorvane"_s, {u"--restore"_s, backup.path});
    ASSERT_TRUE(quorvane.waitForFinished(60000));
    const QString out = QString::fromUtf8(quorvane.readAllStandardOutput());
    EXPECT_EQ(quorvane.exitCode(), 0) << quorvane.readAllStandardError().toStdString();
    EXPECT_TRUE(out.startsWith(u"Restored 2 entries from"_s)) << out.toStdString();
    EXPECT_EQ(ledger(), backedUp);
    EXPECT_EQ(snapshotLedger(backups().list()[0].path), later);

    quorvane.start(QCoreApplication::applicationDirPath() + u"/quorvane"_s, {u"--restore"_s, u"/no/such/file"_s});
    ASSERT_TRUE(quorvane.waitForFinished(60000));
    EXPECT_EQ(quorvane.exitCode(), 1);
    EXPECT_TRUE(quorvane.readAllStandardError().startsWith("Nothing was restored"));
    EXPECT_EQ(ledger(), backedUp);

    for (const QString& option : {u"--help"_s, u"--version"_s}) {
        quorvane.start(QCoreApplication::applicationDirPath() + u"/quorvane"_s, {option});
        ASSERT_TRUE(quorvane.waitForFinished(60000));
        EXPECT_EQ(quorvane.exitCode(), 0) << option.toStdString();
        EXPECT_TRUE(quorvane.readAllStandardOutput().contains("quorvane")) << option.toStdString();
    }
    // The version comes first, the licence after it.
    quorvane.start(QCoreApplication::applicationDirPath() + u"/quorvane"_s, {u"--version"_s});
    ASSERT_TRUE(quorvane.waitForFinished(60000));
    const QList<QByteArray> version = quorvane.readAllStandardOutput().split('\n');
    ASSERT_GE(version.size(), 2);
    EXPECT_TRUE(QRegularExpression(u"^quorvane \\d+\\.\\d+\\.\\d+$"_s).match(QString::fromUtf8(version[0])).hasMatch())
        << version[0].toStdString();
    EXPECT_TRUE(version[1].startsWith("License GPL-3.0-or-later: GNU GPL version 3 or later"))
        << version[1].toStdString();
}

TEST(CommandLine, WhatItDoesNotKnowIsRefusedWithTheUsageAndNoWindow)
{
    const QList<QStringList> refused = {
        {u"--restor"_s, u"backup.mdb"_s}, {u"--restore"_s}, {u"-x"_s}, {u"statement.csv"_s, u"extra"_s}};
    for (const QStringList& arguments : refused) {
        QProcess quorvane;
        quorvane.start(QCoreApplication::applicationDirPath() + u"/quorvane"_s, arguments);
        const bool ended = quorvane.waitForFinished(20000);
        if (!ended)
            quorvane.kill();
        EXPECT_TRUE(ended) << "a window opened for " << arguments.join(u' ').toStdString();
        EXPECT_EQ(quorvane.exitCode(), 2) << arguments.join(u' ').toStdString();
        const QByteArray errors = quorvane.readAllStandardError();
        EXPECT_TRUE(errors.contains("Usage:")) << errors.toStdString();
        EXPECT_TRUE(quorvane.readAllStandardOutput().isEmpty());
    }
    // Qt's own options still reach the window's toolkit.
    QProcess quorvane;
    quorvane.start(QCoreApplication::applicationDirPath() + u"/quorvane"_s,
                   {u"-platform"_s, u"offscreen"_s, u"--version"_s});
    ASSERT_TRUE(quorvane.waitForFinished(20000));
    EXPECT_EQ(quorvane.exitCode(), 0) << quorvane.readAllStandardError().toStdString();
}
