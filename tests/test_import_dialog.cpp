// Importing statements and workbooks through the real import dialog on the main window, checked
// row by row in the ledger: the bank layouts of tests/data/import, duplicates, undo, the program's
// own export read back, and hostile files.
#include "ledgerlist/ledgermodel.h"
#include "store/programconnection.h"
#include "support/fakespreadsheet.h"
#include "support/importsamples.h"
#include "support/ledgerfixture.h"
#include "support/mainwindow.h"
#include "support/modal.h"
#include "support/printers.h"
#include "support/progresscancel.h"
#include "support/windowdriver.h"
#include "ui/importing/importdialog.h"
#include "ui/main/ledgerhistory.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <stop_token>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <xlsxwriter.h>

using namespace Qt::StringLiterals;

namespace {

// What the dialog showed when it opened, and how it was left.
struct DialogSeen
{
    bool opened = false;
    QString delimiter, encoding, dateOrder, decimalMark, summary;
    QString dateOrderNotice, decimalMarkNotice; // empty while hidden
    int headerLine = -1;
    QStringList statuses; // the Status column of the preview, row by row
};

template <class T> T* child(QWidget* dialog, const QString& name)
{
    auto* widget = dialog->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
}

// What the notice beside a setting says; empty while it is hidden.
QString noticeText(QWidget* dialog, const QString& name)
{
    const auto* notice = child<QWidget>(dialog, name);
    if (!notice || !notice->isVisible())
        return {};
    QStringList texts;
    for (const QLabel* label : notice->findChildren<QLabel*>())
        if (!label->text().isEmpty())
            texts << label->text();
    return texts.join(u' ');
}

// A column of the preview, row by row.
QStringList previewColumn(QWidget* dialog, int column)
{
    const QAbstractItemModel* preview = child<QTableView>(dialog, u"preview"_s)->model();
    QStringList cells;
    for (int row = 0; row < preview->rowCount(); ++row)
        cells << preview->index(row, column).data().toString();
    return cells;
}

QPushButton* importButton(QWidget* dialog)
{
    return dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
}

class ImportDialogTest : public MainWindowTest
{
protected:
    // Opens `path` the way the list's menu and a drop do; `act` may change the dialog's settings
    // before Import is pressed (or return false to cancel it instead).
    DialogSeen import(const QString& path, std::function<bool(QWidget*)> act = {})
    {
        DialogSeen seen;
        // A file refused before the dialog opens leaves the watch running: it must not reach a later
        // test's dialog with this call's `seen`.
        const auto waiting = std::make_shared<bool>(true);
        whenModalOpens([&, waiting](QWidget* modal) {
            if (!*waiting)
                return;
            if (!qobject_cast<ImportDialog*>(modal))
                return; // a message box: the test reads it from `boxes`
            seen.opened = true;
            seen.delimiter = child<QComboBox>(modal, u"delimiter"_s)->currentText();
            seen.encoding = child<QComboBox>(modal, u"encoding"_s)->currentText();
            seen.headerLine = child<QSpinBox>(modal, u"headerLine"_s)->value();
            seen.dateOrder = child<QComboBox>(modal, u"dateOrder"_s)->currentText();
            seen.decimalMark = child<QComboBox>(modal, u"decimalMark"_s)->currentText();
            seen.dateOrderNotice = noticeText(modal, u"dateOrderNotice"_s);
            seen.decimalMarkNotice = noticeText(modal, u"decimalMarkNotice"_s);
            const bool go = act ? act(modal) : true;
            seen.summary = child<QLabel>(modal, u"summary"_s)->text();
            seen.statuses = previewColumn(modal, 2);
            if (go && importButton(modal)->isEnabled())
                QTest::mouseClick(importButton(modal), Qt::LeftButton);
            else
                qobject_cast<QDialog*>(modal)->reject();
        });
        window.importFile(path);
        *waiting = false;
        return seen;
    }

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // The id of the list's selected row.
    qint64 selectedId() const
    {
        const QModelIndex current = window.listView()->currentIndex();
        return window.listView()->model()->index(current.row(), LedgerModel::idColumn).data().toLongLong();
    }

    QTemporaryDir folder;
};

// Picks `field` for the file's column `column` (0-based) in the dialog's column list.
void mapColumn(QWidget* dialog, int column, const QString& field)
{
    auto* columns = child<QTableWidget>(dialog, u"columns"_s);
    auto* choice = qobject_cast<QComboBox*>(columns->cellWidget(column, 1));
    ASSERT_NE(choice, nullptr);
    choice->setCurrentIndex(choice->findText(field));
}

// Opens the writing end of `path` after `patience`, unless dismissed first: a reader stuck on a pipe
// then gets an empty file, so a test of it fails rather than hangs.
class PipeUnblocker
{
public:
    PipeUnblocker(const QString& path, std::chrono::milliseconds patience)
        : thread_([this, file = QFile::encodeName(path), patience](std::stop_token stop) {
              std::mutex mutex;
              std::condition_variable_any wake;
              std::unique_lock lock(mutex);
              const auto dismissed = [&] { return stop.stop_requested(); };
              if (wake.wait_for(lock, stop, patience, dismissed))
                  return;
              // Without O_NONBLOCK this would wait for a reader for ever; with it, it fails until one comes.
              while (!wake.wait_for(lock, stop, std::chrono::milliseconds(20), dismissed)) {
                  if (const int fd = ::open(file.constData(), O_WRONLY | O_NONBLOCK); fd >= 0) {
                      ::close(fd);
                      unblocked = true;
                      return;
                  }
              }
          })
    {
    }

    std::atomic<bool> unblocked = false;

private:
    std::jthread thread_;
};

} // namespace

TEST_F(ImportDialogTest, SemicolonsAndDecimalCommas)
{
    const DialogSeen seen = import(sampleStatementPath(u"semicolon_decimal_comma.csv"_s));
    EXPECT_EQ(seen.delimiter, u"Semicolon"_s);
    EXPECT_EQ(seen.encoding, u"UTF-8"_s);
    EXPECT_EQ(seen.headerLine, 1);
    EXPECT_EQ(seen.dateOrder, u"Day Month Year"_s);
    EXPECT_EQ(seen.decimalMark, u"Comma (1.234,56)"_s);
    // The one column of the other party is the payer of money received and the payee of money paid.
    EXPECT_EQ(ledgerRows(), sampleEntriesOf(u"semicolon_decimal_comma.csv"_s));
}

TEST_F(ImportDialogTest, SeparateInAndOutColumns)
{
    const DialogSeen seen = import(sampleStatementPath(u"separate_in_out.csv"_s));
    EXPECT_EQ(seen.delimiter, u"Comma"_s);
    EXPECT_EQ(seen.dateOrder, u"Month Day Year"_s);
    EXPECT_EQ(seen.decimalMark, u"Point (1,234.56)"_s);
    EXPECT_EQ(ledgerRows(), sampleEntriesOf(u"separate_in_out.csv"_s));
}

TEST_F(ImportDialogTest, Windows1252Umlauts)
{
    const DialogSeen seen = import(sampleStatementPath(u"windows1252_umlauts.csv"_s));
    EXPECT_EQ(seen.encoding, u"Windows-1252"_s);
    EXPECT_EQ(seen.delimiter, u"Semicolon"_s);
    EXPECT_EQ(ledgerRows(), sampleEntriesOf(u"windows1252_umlauts.csv"_s));
}

TEST_F(ImportDialogTest, UnicodeTextSavedBySpreadsheetPrograms)
{
    struct Statement
    {
        QString file, encoding;
        int headerLine;
        QStringList entries;
    };
    const Statement statements[] = {
        {u"utf16le_unicode_text.txt"_s,
         u"UTF-16 LE"_s,
         2,
         {u"2024-03-14|23.40|out|Grillfleisch||Metzgerei Müller||"_s,
          u"2024-03-15|18.90|out|Frühstück für zwei||Café Olé||Tisch \"am Fenster\""_s,
          u"2024-03-20|2450.00|in|Gehalt März|Musterfirma GmbH|||"_s,
          u"2024-03-28|20.00|out|Gutschein über 20 €||Bücherstube||Geschenk für Zoë"_s}},
        {u"utf16be_unicode_text.txt"_s,
         u"UTF-16 BE"_s,
         1,
         {u"2024-05-02|12.50|out|Coffee beans||Café Olé||"_s,
          u"2024-05-06|40.00|in|Refund, returned kettle|Müller & Söhne|||"_s,
          u"2024-05-17|750.00|out|Rent May||Zoë Ångström||"_s}},
    };
    for (const auto& [file, encoding, headerLine, entries] : statements) {
        Conn().execute(u"delete from tblData"_s);
        const DialogSeen seen = import(sampleStatementPath(file));
        ASSERT_TRUE(seen.opened) << boxes.texts().join(u'\n').toStdString();
        EXPECT_EQ(seen.encoding, encoding);
        EXPECT_EQ(seen.delimiter, u"Tab"_s);
        EXPECT_EQ(seen.headerLine, headerLine);
        EXPECT_EQ(ledgerRows(), entries);
    }
}

TEST_F(ImportDialogTest, HeaderOnTheThirdLine)
{
    const DialogSeen seen = import(sampleStatementPath(u"header_on_third_line.csv"_s));
    EXPECT_EQ(seen.headerLine, 3);
    EXPECT_EQ(ledgerRows(), sampleEntriesOf(u"header_on_third_line.csv"_s));
}

// All its days are 12 or less: its dots, decimal commas and German titles tell the order, not the
// tests' American region.
TEST_F(ImportDialogTest, AGermanStatementOfAmbiguousDatesIsReadDayFirst)
{
    const DialogSeen seen = import(sampleStatementPath(u"german_statement_ambiguous.csv"_s));
    EXPECT_EQ(seen.dateOrder, u"Day Month Year"_s);
    EXPECT_EQ(seen.decimalMark, u"Comma (1.234,56)"_s);
    EXPECT_EQ(seen.dateOrderNotice, u""_s);
    EXPECT_EQ(seen.decimalMarkNotice, u""_s);
    EXPECT_EQ(ledgerRows(), (QStringList{
                                u"2026-12-01|1250.00|out|Miete Dezember||Hausverwaltung Beispiel||"_s,
                                u"2026-12-03|2480.50|in|Gehalt November|Musterfirma GmbH|||"_s,
                                u"2026-12-05|8.40|out|Kartenzahlung||Bäckerei Sonnenschein||"_s,
                                u"2026-12-10|84.00|out|Abschlag Strom||Stadtwerke Beispielstadt||"_s,
                            }));
}

// British and American statements look alike: only the region can tell, and the dialog says so.
TEST_F(ImportDialogTest, WhereOnlyTheRegionTellsTheOrderTheDialogAsksForACheck)
{
    struct Case
    {
        const char* region;
        QString order;
        QStringList rows;
    };
    const QString notice = u"The dates could be read either way; check this."_s;
    for (const auto& [region, order, rows] :
         {Case{"en_US",
               u"Month Day Year"_s,
               {u"2026-02-03|1250.00|in|Opening deposit||||"_s, u"2026-05-03|12.40|out|Card payment Corner Shop||||"_s,
                u"2026-06-03|86.15|out|Electricity||||"_s, u"2026-11-03|20.00|in|Refund||||"_s}},
          Case{"en_GB",
               u"Day Month Year"_s,
               {u"2026-03-02|1250.00|in|Opening deposit||||"_s, u"2026-03-05|12.40|out|Card payment Corner Shop||||"_s,
                u"2026-03-06|86.15|out|Electricity||||"_s, u"2026-03-11|20.00|in|Refund||||"_s}}}) {
        Conn().execute(u"delete from tblData"_s);
        QLocale::setDefault(QLocale(QString::fromLatin1(region)));
        const DialogSeen seen = import(sampleStatementPath(u"english_slashes_ambiguous.csv"_s), [&](QWidget* dialog) {
            EXPECT_TRUE(ledgerRows().isEmpty()) << "shown before anything is stored";
            auto* dateOrder = child<QComboBox>(dialog, u"dateOrder"_s);
            const auto labels = dialog->findChildren<QLabel*>();
            const auto caption =
                std::find_if(labels.begin(), labels.end(), [&](QLabel* label) { return label->buddy() == dateOrder; });
            EXPECT_TRUE(dateOrder->accessibleDescription().startsWith(notice)) << region;
            EXPECT_TRUE(caption != labels.end() && (*caption)->accessibleDescription().startsWith(notice)) << region;
            return true;
        });
        EXPECT_EQ(seen.dateOrder, order) << region;
        EXPECT_EQ(seen.dateOrderNotice, notice) << region;
        EXPECT_EQ(seen.decimalMarkNotice, u""_s) << region << ": the amounts show a decimal point";
        EXPECT_EQ(ledgerRows(), rows) << region;
    }
}

// The Line column and the header line count the file's lines as an editor does: blank lines and the
// lines of a quoted text included.
TEST_F(ImportDialogTest, LinesAreTheFilesOwn)
{
    const QString path = writeFile(u"lines.csv"_s, "Account;Example\n"
                                                   "\n"
                                                   "Date;Reason;Amount\n"
                                                   "2026-01-05;\"Rent\nJanuary\";-500.00\n"
                                                   "\n"
                                                   "2026-01-06;Bakery;-3.20\n"
                                                   "2026-01-07;Refund;4.00\n");
    struct Case
    {
        int headerLine;    // as the user types it
        QStringList shown; // the Line column then
    };
    const DialogSeen seen = import(path, [](QWidget* dialog) {
        auto* header = child<QSpinBox>(dialog, u"headerLine"_s);
        EXPECT_EQ(previewColumn(dialog, 1), (QStringList{u"4"_s, u"7"_s, u"8"_s}));
        for (const auto& [line, shown] :
             {Case{4, {u"7"_s, u"8"_s}}, Case{5, {u"7"_s, u"8"_s}}, Case{6, {u"7"_s, u"8"_s}},
              Case{2, {u"3"_s, u"4"_s, u"7"_s, u"8"_s}}, Case{0, {u"1"_s, u"3"_s, u"4"_s, u"7"_s, u"8"_s}}, Case{8, {}},
              Case{3, {u"4"_s, u"7"_s, u"8"_s}}}) {
            header->setValue(line);
            EXPECT_EQ(header->value(), line);
            EXPECT_EQ(previewColumn(dialog, 1), shown) << "header on line " << line;
        }
        return true;
    });
    EXPECT_EQ(seen.headerLine, 3);
    EXPECT_EQ(ledgerRows(), (QStringList{u"2026-01-05|500.00|out|Rent\nJanuary||||"_s,
                                         u"2026-01-06|3.20|out|Bakery||||"_s, u"2026-01-07|4.00|in|Refund||||"_s}));
}

TEST_F(ImportDialogTest, AStatementIsAddedAsOneUndoStepAndItsFirstEntryIsSelected)
{
    listEntries({sampleEntry(u"Before"_s, u"1"_s)});
    const QString path = writeFile(u"plain.csv"_s, "Date,Amount,Description,Payee\n"
                                                   "2024-03-01,-12.50,Coffee beans,Roastery\n"
                                                   "2024-03-02,1500.00,Salary,Me\n");
    const DialogSeen seen = import(path);
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.delimiter, u"Comma"_s);
    EXPECT_EQ(seen.headerLine, 1);
    EXPECT_EQ(seen.statuses, (QStringList{u"New"_s, u"New"_s}));
    EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.texts().join(u'\n').toStdString();
    const QStringList rows = ledgerRows();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[1], u"2024-03-01|12.50|out|Coffee beans||Roastery||"_s);
    EXPECT_EQ(rows[2], u"2024-03-02|1500.00|in|Salary||Me||"_s);
    EXPECT_EQ(window.listView()->model()->rowCount(), 3) << "the list refilled";
    EXPECT_EQ(selectedId(), newestId().toLongLong() - 1) << "the first new entry is selected";

    window.history()->undoAction()->trigger();
    EXPECT_EQ(ledgerRows().size(), 1) << "one undo takes the whole import back";
    window.history()->redoAction()->trigger();
    EXPECT_EQ(ledgerRows(), rows);
}

TEST_F(ImportDialogTest, RowsAlreadyInTheLedgerAreLeftOutUnlessTicked)
{
    const QString path =
        writeFile(u"twice.csv"_s, "Date;Amount;Reason\n01.02.2024;-5,00;Bread\n02.02.2024;7,00;Refund\n");
    import(path);
    ASSERT_EQ(ledgerRows().size(), 2);

    const DialogSeen again = import(path);
    EXPECT_EQ(again.statuses, (QStringList{u"Already in the ledger"_s, u"Already in the ledger"_s}));
    EXPECT_TRUE(again.summary.contains(u"0 entries will be imported."_s)) << again.summary.toStdString();
    EXPECT_EQ(ledgerRows().size(), 2) << "nothing to import: the Import button is off";

    import(path, [](QWidget* dialog) {
        QAbstractItemModel* preview = child<QTableView>(dialog, u"preview"_s)->model();
    preview->setData(preview->index(1, 0), Qt::Checked, Qt::CheckStateRole);
    return true;
});
const QStringList rows = ledgerRows();
ASSERT_EQ(rows.size(), 3) << "the ticked one is a second refund";
EXPECT_EQ(rows[2], u"2024-02-02|7.00|in|Refund||||"_s);
}

TEST_F(ImportDialogTest, UnreadableRowsAreShownWithTheirReasonAndNeverStored)
{
    const QString path = writeFile(u"bad.csv"_s, "Date,Amount,Reason\n"
                                                 "2024-01-05,10.00,Good\n"
                                                 "2024-02-31,10.00,No such day\n"
                                                 "2024-01-06,ten,Words\n"
                                                 ",3.00,No date\n");
    const DialogSeen seen = import(path);
    ASSERT_EQ(seen.statuses.size(), 4);
    EXPECT_EQ(seen.statuses[0], u"New"_s);
    EXPECT_TRUE(seen.statuses[1].startsWith(u"Unreadable date"_s)) << seen.statuses[1].toStdString();
    EXPECT_TRUE(seen.statuses[2].startsWith(u"Unreadable amount"_s)) << seen.statuses[2].toStdString();
    EXPECT_EQ(seen.statuses[3], u"No date"_s);
    EXPECT_TRUE(seen.summary.contains(u"3 rows cannot be read"_s)) << seen.summary.toStdString();
    EXPECT_EQ(ledgerRows(), QStringList{u"2024-01-05|10.00|in|Good||||"_s}) << "never 0, never today";
}

TEST_F(ImportDialogTest, ControlCharactersMakeTheirRowUnreadableAndAreNeverStored)
{
    // Far enough into the file that the check for binary files does not see it.
    QByteArray csv = "Date,Amount,Reason,Notes\n";
    for (int i = 1; i <= 300; ++i)
        csv += "2024-01-01," + QByteArray::number(i) + ",Filler,row " + QByteArray::number(i) + "\n";
    ASSERT_GT(csv.size(), 8192);
    csv += QByteArray("2024-02-01,99,Hidden,a\0b\n", 25);

    const QString workbook = folder.filePath(u"control.xlsx"_s);
    lxw_workbook* book = workbook_new(QFile::encodeName(workbook).constData());
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    const char* const cells[][4] = {{"Date", "Amount", "Reason", "Notes"},
                                    {"2024-01-01", "1", "Filler", "kept"},
                                    {"2024-02-01", "99", "Hidden", "a_x0000_b"}};
    for (lxw_row_t row = 0; row < 3; ++row) {
        for (lxw_col_t col = 0; col < 4; ++col)
            worksheet_write_string(sheet, row, col, cells[row][col], nullptr);
    }
    ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);

    for (const QString& path : {writeFile(u"control.csv"_s, csv), workbook}) {
        Conn().execute(u"delete from tblData"_s);
        const DialogSeen seen = import(path, [](QWidget* dialog) {
            // A tick on the unreadable row is refused.
            QAbstractItemModel* preview = child<QTableView>(dialog, u"preview"_s)->model();
            const QModelIndex tick = preview->index(preview->rowCount() - 1, 0);
            preview->setData(tick, Qt::Checked, Qt::CheckStateRole);
            EXPECT_NE(tick.data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
            return true;
        });
        ASSERT_TRUE(seen.opened) << boxes.texts().join(u'\n').toStdString();
        EXPECT_EQ(seen.statuses.back(), u"Control character U+0000 in Notes"_s) << path.toStdString();
        EXPECT_TRUE(seen.summary.contains(u"1 row cannot be read"_s)) << seen.summary.toStdString();
        const QStringList rows = ledgerRows();
        EXPECT_EQ(rows.size(), seen.statuses.size() - 1) << path.toStdString();
        for (const QString& row : rows)
            EXPECT_FALSE(row.contains(u"Hidden"_s) || row.contains(QChar())) << row.toStdString();
    }
}

TEST_F(ImportDialogTest, ColumnsDateOrderAndDecimalMarkCanBeChosen)
{
    // No header, and nothing in the data that tells day from month.
    const QString path = writeFile(u"bare.csv"_s, "03/04/2024;1.234;Rent;Landlord\n05/06/2024;2.500;Rent;Landlord\n");
    const DialogSeen seen = import(path, [](QWidget* dialog) {
        child<QComboBox>(dialog, u"dateOrder"_s)->setCurrentIndex(1);   // month first
        child<QComboBox>(dialog, u"decimalMark"_s)->setCurrentIndex(1); // 1.234 is a thousand and more
        mapColumn(dialog, 2, u"Reason"_s);
        mapColumn(dialog, 3, u"To"_s);
        return true;
    });
    EXPECT_EQ(seen.headerLine, 0);
    EXPECT_EQ(seen.dateOrderNotice, u"The dates could be read either way; check this."_s);
    EXPECT_EQ(seen.decimalMarkNotice, u"The amounts could be read either way; check this."_s);
    EXPECT_EQ(ledgerRows(),
              (QStringList{u"2024-03-04|1234.00|in|Rent||Landlord||"_s, u"2024-05-06|2500.00|in|Rent||Landlord||"_s}));
}

TEST_F(ImportDialogTest, CancelAddsNothing)
{
    const QString path = writeFile(u"cancel.csv"_s, "Date,Amount\n2024-01-01,1\n");
    EXPECT_TRUE(import(path, [](QWidget*) { return false; }).opened);
    EXPECT_TRUE(ledgerRows().isEmpty());
    EXPECT_FALSE(window.history()->undoAction()->isEnabled());

    // Cancel on the progress of a long import: none of the rows stays.
    QByteArray rows = "Date,Amount,Reason\n";
    for (int i = 0; i < 5000; ++i)
        rows += "2024-01-01," + QByteArray::number(i + 1) + ",Row\n";
    const QString longFile = writeFile(u"long.csv"_s, rows);
    std::unique_ptr<ProgressCancel> cancel;
    import(longFile, [&](QWidget* dialog) {
        cancel = std::make_unique<ProgressCancel>(dialog); // for the import that Import starts
    return true;
});
ASSERT_TRUE(cancel && cancel->pressed());
EXPECT_TRUE(ledgerRows().isEmpty());
EXPECT_FALSE(window.history()->undoAction()->isEnabled());
EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.texts().join(u'\n').toStdString();
}

// A statement long enough for a few turns of the progress.
QByteArray longStatement()
{
    QByteArray rows = "Date,Amount,Reason\n";
    for (int i = 0; i < 20000; ++i)
        rows += "2024-01-0" + QByteArray::number(i % 9 + 1) + ',' + QByteArray::number(i + 1) + ",Row\n";
    return rows;
}

TEST_F(ImportDialogTest, CancelWhileALongFileIsReadOpensNothing)
{
    const QString path = writeFile(u"long.csv"_s, longStatement());
    ProgressCancel cancel;
    const DialogSeen seen = import(path);
    EXPECT_TRUE(cancel.pressed());
    EXPECT_FALSE(seen.opened);
    EXPECT_TRUE(ledgerRows().isEmpty());
    EXPECT_TRUE(boxes.messages.isEmpty()) << boxes.texts().join(u'\n').toStdString();
}

TEST_F(ImportDialogTest, CancelWhileTheRowsAreReadAgainKeepsTheSettingsThePreviewShows)
{
    const QString path = writeFile(u"long.csv"_s, longStatement());
    QString orderAfterCancel;
    QStringList datesBefore, datesAfter;
    bool pressed = false;
    import(path, [&](QWidget* dialog) {
        auto* order = child<QComboBox>(dialog, u"dateOrder"_s);
    datesBefore = previewColumn(dialog, 3);
    const QString before = order->currentText();
    {
        ProgressCancel cancel;
        order->setCurrentIndex((order->currentIndex() + 1) % order->count());
        pressed = cancel.pressed();
    }
    orderAfterCancel = order->currentText();
    datesAfter = previewColumn(dialog, 3);
    EXPECT_EQ(orderAfterCancel, before);
    return false;
});
EXPECT_TRUE(pressed);
EXPECT_FALSE(datesBefore.isEmpty());
EXPECT_EQ(datesAfter, datesBefore);
EXPECT_TRUE(ledgerRows().isEmpty());
}

TEST_F(ImportDialogTest, AFileDroppedOnTheWindowIsImported)
{
    const QString path = writeFile(u"dropped.csv"_s, "Date,Amount,Reason\n2024-06-01,3.50,Dropped\n");
    const auto drag = [](const QString& file) {
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(file)});
        return data;
    };
    std::unique_ptr<QMimeData> other(drag(writeFile(u"photo.png"_s, "png")));
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, other.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &refused);
    EXPECT_FALSE(refused.isAccepted()) << "only files the import reads";

    std::unique_ptr<QMimeData> statement(drag(path));
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, statement.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, statement.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    bool opened = false;
    whenModalOpens([&](QWidget* modal) {
        opened = qobject_cast<ImportDialog*>(modal) != nullptr;
        QTest::mouseClick(importButton(modal), Qt::LeftButton);
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ledgerRows().isEmpty(); }, 5000));
    EXPECT_TRUE(opened);
    EXPECT_EQ(ledgerRows(), QStringList{u"2024-06-01|3.50|in|Dropped||||"_s});
}

TEST_F(ImportDialogTest, FormulaTextsAreStoredAsPlainText)
{
    const QString path = writeFile(u"formula.csv"_s, "Date,Amount,Reason,Payer\n"
                                                     "2024-01-01,5,\"=cmd|' /C calc'!A0\",@SUM(A1:A9)\n");
    import(path);
    EXPECT_EQ(ledgerRows(), QStringList{u"2024-01-01|5.00|in|=cmd|' /C calc'!A0|@SUM(A1:A9)|||"_s});
}

TEST_F(ImportDialogTest, HostileFilesAreRefusedWithAMessageAndChangeNothing)
{
    listEntries({sampleEntry(u"Kept"_s, u"1"_s)});
    QByteArray wide = "Date";
    for (int i = 0; i < 1'000'000; ++i)
        wide += ",x";
    QByteArray binary(4096, '\0');
    binary.prepend("\x7f"
                   "ELF");
    const QList<std::pair<QString, QByteArray>> files = {
        {u"binary.csv"_s, binary},
        {u"unbalanced.csv"_s, "Date,Amount,Reason\n2024-01-01,5,\"never closed\n2024-01-02,6,x\n"},
        {u"wide.csv"_s, wide},
        {u"notazip.xlsx"_s, "this is no workbook"},
        {u"statement.pdf"_s, "%PDF-1.4"},
    };
    for (const auto& [name, bytes] : files) {
        boxes.messages.clear();
        const DialogSeen seen = import(writeFile(name, bytes));
        EXPECT_FALSE(seen.opened) << name.toStdString();
        ASSERT_EQ(boxes.messages.size(), 1) << name.toStdString();
        EXPECT_TRUE(boxes.texts().front().endsWith(u"Nothing was imported."_s)) << boxes.texts().front().toStdString();
        EXPECT_EQ(ledgerRows().size(), 1) << name.toStdString();
    }

    // Larger than any statement: refused before it is read.
    const QString huge = folder.filePath(u"huge.csv"_s);
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(qint64(2) * 1024 * 1024 * 1024)); // sparse: no disk is used
    }
    boxes.messages.clear();
    EXPECT_FALSE(import(huge).opened);
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_TRUE(boxes.texts().front().contains(u"larger than"_s)) << boxes.texts().front().toStdString();
    EXPECT_EQ(ledgerRows().size(), 1);
}

TEST_F(ImportDialogTest, PipesFoldersAndDevicesAreRefusedAtOnce)
{
    listEntries({sampleEntry(u"Kept"_s, u"1"_s)});
    const auto pipe = [&](const QString& name) {
        const QString path = folder.filePath(name);
        EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        return path;
    };
    const QString folderPath = folder.filePath(u"folder.csv"_s);
    ASSERT_TRUE(QDir().mkdir(folderPath));
    const QString device = folder.filePath(u"device.csv"_s);
    ASSERT_TRUE(QFile::link(u"/dev/null"_s, device));
    for (const QString& path : {pipe(u"x.csv"_s), pipe(u"x.xlsx"_s), folderPath, device}) {
        boxes.messages.clear();
        const PipeUnblocker unblocker(path, std::chrono::seconds(5));
        QElapsedTimer clock;
        clock.start();
        const DialogSeen seen = import(path);
        EXPECT_LT(clock.elapsed(), 2000) << path.toStdString();
        EXPECT_FALSE(unblocker.unblocked) << path.toStdString() << " waited for a writer";
        EXPECT_FALSE(seen.opened) << path.toStdString();
        ASSERT_EQ(boxes.messages.size(), 1) << path.toStdString();
        EXPECT_EQ(boxes.texts().front(), u"The file '"_s + path +
                                             u"' cannot be read: it is a folder, a device or a pipe, not a "
                                             "file.\n\nNothing was imported."_s);
        EXPECT_EQ(ledgerRows().size(), 1) << path.toStdString();
    }
}

TEST_F(ImportDialogTest, TheProgramsOwnExportReadsBackAsTheSameEntries)
{
    QList<Entry> entries = {sampleEntry(u"Gig"_s, u"1234.5"_s, Direction::Received),
                            sampleEntry(u"Rent, March"_s, u"800"_s, Direction::PaidOut),
                            sampleEntry(u"O'Brien \"quoted\""_s, u"0.99"_s, Direction::Received)};
    entries[1].date = QDate(2024, 12, 31);
    entries[1].paymentMethod = u"Transfer"_s;
    entries[2].notes = u"line one\nline two"_s;
    listEntries(entries);
    const QStringList before = ledgerRows();
    tickAll(window);
    FakeSpreadsheetHome spreadsheet;
    spreadsheet.installProgram();
    press(&window, u"PushButton6"_s);
    ASSERT_EQ(spreadsheet.launchArguments().size(), 3);
    const QString workbook = folder.filePath(u"export.xlsx"_s);
    ASSERT_TRUE(QFile::copy(spreadsheet.openedWorkbook(), workbook));

    Conn().execute(u"delete from tblData"_s);
    window.ListData();
    const DialogSeen seen = import(workbook);
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.headerLine, 1);
    EXPECT_EQ(ledgerRows(), before);
}
