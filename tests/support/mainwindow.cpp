#include "support/mainwindow.h"

#include "store/programconnection.h"
#include "support/ledgerfixture.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTableView>

void MainWindowTest::SetUp()
{
    window.Form_Load();
    window.show();
    ASSERT_TRUE(boxes.messages.isEmpty()) << boxes.texts().join(u'\n').toStdString();
}

void MainWindowTest::listEntries(const QList<Entry>& entries)
{
    Conn().beginBatch();
    for (const Entry& entry : entries)
        addEntry(entry);
    Conn().commitBatch();
    window.ListData();
}

void tick(Form1& window, int row)
{
    QAbstractItemModel* list = window.listView()->model();
    EXPECT_TRUE(list->setData(list->index(row, 0), Qt::Checked, Qt::CheckStateRole)) << "row " << row;
}

void tickAll(Form1& window)
{
    for (int row = 0; row < window.listView()->model()->rowCount(); ++row)
        tick(window, row);
}

QStringList summaryCaptions(const Form1& window)
{
    QStringList captions;
    for (const QLabel* label : window.summaryLabels())
        captions.append(label->text());
    return captions;
}

void runMenuCommand(Form1& window, const QString& caption)
{
    for (const QMenu* menu : window.findChildren<QMenu*>())
        for (QAction* action : menu->actions())
            if (action->text() == caption) {
                action->trigger();
                return;
            }
    ADD_FAILURE() << "no menu command " << caption.toStdString();
}
