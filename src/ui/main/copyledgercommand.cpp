// The list's "Copy this ledger to a server…" and "Copy this ledger to a file…". The copy reads over a
// connection of its own, so the window's connection is left as it is.
#include "app/longtask.h"
#include "app/prompter.h"
#include "base/paths.h"
#include "store/connection.h"
#include "store/ledgercopy.h"
#include "store/storeerror.h"
#include "ui/main/form1.h"
#include "ui/main/locationdialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <exception>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

using Copy = std::function<LedgerSummary(Connection& from, const ProgressCheck& progress)>;

// Runs `copy` from the ledger at `from`, of about `entries` entries, with progress and Cancel.
LedgerSummary copyWithProgress(QWidget* owner, const LedgerLocation& from, qint64 entries, const Copy& copy)
{
    Connection source;
    source.open(from.connectionText(), Connection::Access::ReadOnly);
    // The copy reports its entries twice: once copied, once checked.
    LongTask task(owner, QCoreApplication::translate("Form1", "Copying the ledger…"), 2 * entries);
    return copy(source, [&](qint64 done) { return task.keepGoing(done); });
}

QString copiedTo(const LedgerSummary& copied, const QString& where)
{
    return QCoreApplication::translate(
               "Form1",
               "%1 entries were copied to %2 and checked: the copy holds as many entries, with the same Received and "
               "Paid totals, as this ledger.")
        .arg(copied.entries)
        .arg(where);
}

QString notCopied(const QString& where, const std::exception& error)
{
    const QString why = QString::fromUtf8(error.what());
    return (where.isEmpty() ? QCoreApplication::translate("Form1", "The ledger was not copied.")
                            : QCoreApplication::translate("Form1", "The ledger was not copied to %1.").arg(where)) +
           u"\n\n"_s + why;
}

// The file the copy goes to, or the empty text when the user cancels. The dialog is gone once this
// returns, before the copy starts.
QString askCopyFile(QWidget* parent)
{
    QFileDialog dialog(parent, QCoreApplication::translate("Form1", "Copy this ledger to a file"),
                       QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                       QCoreApplication::translate("Form1", "Ledgers (*.mdb)"));
    // The dialog asks before it lets an existing file be chosen, with the suffix it adds.
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(u"mdb"_s);
    dialog.selectFile(QCoreApplication::translate("Form1", "Quorvane ledger.mdb"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool sameFile(const QString& a, const QString& b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

} // namespace

void Form1::copyToServer()
{
    QString text;
    {
        LocationDialog dialog(location_, this, LocationDialog::Purpose::CopyTo);
        if (dialog.exec() != QDialog::Accepted)
            return;
        text = dialog.text();
    }
    LedgerLocation target;
    QString where;
    LedgerSummary copied;
    try {
        target = LedgerLocation::fromText(text);
        if (!target.onServer())
            throw StoreError(tr("Give the connection string of the server ledger to copy this ledger to."));
        where = target.describe();
        if (target.key() == location_.key())
            throw StoreError(tr("That is the ledger in use; a copy goes to another one."));
        copied =
            copyWithProgress(this, location_, ledger_.count(), [&](Connection& from, const ProgressCheck& progress) {
                // Made on first use, so an empty database will do.
                Connection to;
                to.open(target.connectionText());
                return copyLedgerContents(from, to, CopyInto::EmptyLedger, progress);
            });
    } catch (const Cancelled&) {
        // The server's ledger is as it was: the copy is one batch there.
        return;
    } catch (const std::exception& error) {
        MsgBox(notCopied(where, error));
        return;
    }
    if (prompter().askYesNo(copiedTo(copied, where) + u"\n\n"_s + tr("Use the ledger on the server from now on?"),
                            windowTitle()))
        useLedgerAt(target.text());
}

void Form1::copyToFile()
{
    const QString path = askCopyFile(this);
    if (path.isEmpty())
        return;
    const QString where = QDir::toNativeSeparators(path);
    LedgerSummary copied;
    try {
        // Renamed over the ledger in use, the copy would leave the window writing to a file that is gone.
        if (!location_.onServer() && sameFile(path, databaseFile()))
            throw StoreError(tr("That is the ledger in use; choose another name for the copy."));
        copied =
            copyWithProgress(this, location_, ledger_.count(), [&](Connection& from, const ProgressCheck& progress) {
                return copyLedgerToFile(from, path, progress);
            });
    } catch (const Cancelled&) {
        // Nothing was made, and whatever stood at the name is as it was.
        return;
    } catch (const std::exception& error) {
        MsgBox(notCopied(where, error));
        return;
    }
    MsgBox(copiedTo(copied, where));
}
