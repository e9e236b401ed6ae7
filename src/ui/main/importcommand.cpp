#include "app/longtask.h"
#include "app/prompter.h"
#include "importing/importfile.h"
#include "instance/instanceserver.h"
#include "store/entryimport.h"
#include "ui/importing/importdialog.h"
#include "ui/main/form1.h"
#include "ui/main/handedfiles.h"
#include "ui/main/ledgerhistory.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QStandardPaths>

namespace {

// The one local file of a drag, when it is one the import reads.
QString importableFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QString path = data->urls().front().toLocalFile();
    return !path.isEmpty() && importFormatOf(path) ? path : QString();
}

} // namespace

void Form1::chooseImportFile()
{
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Import Entries"), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        tr("Statements and workbooks (*.csv *.tsv *.txt *.xlsx);;All files (*)"));
    if (!path.isEmpty())
        importFile(path);
}

void Form1::importFile(const QString& path)
{
    std::vector<NewEntry> entries;
    try {
        ImportDialog dialog(path, ledger_, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        entries = dialog.chosenEntries();
    } catch (const Cancelled&) {
        // The user stopped the reading: nothing to say, nothing imported.
        return;
    } catch (const std::exception& error) {
        MsgBox(tr("%1\n\nNothing was imported.").arg(QString::fromUtf8(error.what())));
        return;
    }
    if (entries.empty())
        return;
    QList<qint64> ids;
    LongTask task(this, tr("Importing entries…"), qint64(entries.size()));
    history_->record(tr("Import"), [&] {
        try {
            ids = addEntries(ledger_.connection(), entries, [&](qint64 added) { return task.keepGoing(added); });
        } catch (const Cancelled&) {
            // None of them was added.
        } catch (const std::exception& error) {
            MsgBox(tr("The entries could not be added, so none was: %1").arg(QString::fromUtf8(error.what())));
        }
    });
    task.finish();
    refillAndSelect(ids);
}

void Form1::importHandedFile(const QString& path)
{
    // The user asked for this window: it comes to the front as it was, maximized or not, and a
    // dialog open over it stays in front of it.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    QWidget* front = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : this;
    front->raise();
    front->activateWindow();
    handedFiles_->add(path);
}

bool Form1::listenForHandedFiles()
{
    instanceServer_ = new InstanceServer(this);
    connect(instanceServer_, &InstanceServer::fileHanded, this, &Form1::importHandedFile);
    return instanceServer_->listen(location_.key());
}

void Form1::dragEnterEvent(QDragEnterEvent* event)
{
    if (!importableFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event)
{
    const QString path = importableFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // The import dialog opens once the drop has ended, so that the dragging program is not held.
    QMetaObject::invokeMethod(
        this, [this, path] { importFile(path); }, Qt::QueuedConnection);
}
