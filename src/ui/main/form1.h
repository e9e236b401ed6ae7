#pragma once

// Form1, the main window: the ledger list and its summary, and the eight commands.
//
//   ListView1      the ledger list, one row per entry, a tick box in the first column
//   Frame1         "Summary" frame under the list
//   Label1..3      Received / Paid / Balance totals inside Frame1
//
// Each button and the file that holds its procedure:
//   PushButton2    Add New                  commands.cpp
//   PushButton1    Edit Selected            commands.cpp
//   PushButton3    Delete Selected          commands.cpp
//   PushButton4    Duplicate Selected       commands.cpp
//   PushButton8    Help                     commands.cpp
//   PushButton5    Create/Print Report      printedreport.cpp (printLedgerReport)
//   PushButton6    Save Database To Excel   spreadsheetexport.cpp (exportLedgerList)
//   PushButton7    Currency Option          form1.cpp, opening Form3
// Start-up and shutdown are in form1.cpp, the refill of the list in listdata.cpp, the import (a
// command of the list's menu) in importcommand.cpp.

#include "store/ledgerentries.h"
#include "store/ledgerlocation.h"
#include "ui/statistics/statisticswindow.h"

#include <QDate>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

class ErrorTrap;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
class LedgerHistory;
class SafetyNet;
class FindBar;
class HandedFiles;
class InstanceServer;
class QAction;
class LedgerModel;
class LedgerView;
class LedgerWatcher;
class QTimer;

class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // The start-up sequence; the window is shown after it.
    void Form_Load();
    // Refills the list and the summary from the ledger.
    void ListData();
    // Received minus paid, as the last ListData summed it (the printed report's footer).
    double balance() const { return balance_; }

    QTableView* listView() const { return ListView1; }
    // Label1, Label2, Label3: the Received, Paid and Balance captions.
    std::array<const QLabel*, 3> summaryLabels() const { return {Label1, Label2, Label3}; }
    LedgerModel* ledgerModel() const { return model_; }
    // What the list shows of the ledger model: the find bar's filter and the order chosen by a
    // click on a column header.
    LedgerView* ledgerView() const { return view_; }
    FindBar* findBar() const { return findBar_; }
    // Undo and redo of this run's changes to the ledger.
    LedgerHistory* history() const { return history_; }
    // Backups and restore; startSafetyNet checks and backs up the ledger in the background once the
    // window shows.
    SafetyNet* safetyNet() const { return safetyNet_; }
    void startSafetyNet();
    // The list's "Backups…" command.
    void showBackups();
    // The list's "Ledger location…" command: the file or a server, tried before anything changes;
    // the window then reopens on it (ledgerlocationcommand.cpp).
    void chooseLedgerLocation();
    // The list's "Copy this ledger to a server…" and "Copy this ledger to a file…": the whole ledger
    // copied as one moment of it and checked by count and sums (copyledgercommand.cpp).
    void copyToServer();
    void copyToFile();
    // Where the ledger the window has open is.
    const LedgerLocation& ledgerLocation() const { return location_; }
    // Repeating entries: the list menu's "Repeat…" (a rule made from the selected entry) and
    // "Repeating entries…" (the rules), and the offer of the occurrences due, when the window
    // first shows and whenever the date changes while it runs. Added ones are one Undo step.
    void repeatSelected();
    void showRepeatingRules();
    void offerDueEntries();
    void startRepeatingEntries();

    // Shows the statistics window, opening it when it is not open yet.
    void showStatistics();
    StatisticsWindow* statisticsWindow() const { return statistics_; }
    // The list's "Import…" command: a bank statement or a workbook, chosen in a file dialog or
    // dropped on the window, shown in the import dialog; the chosen rows are added as one step
    // that Undo takes back, and the first of them is selected.
    void chooseImportFile();
    void importFile(const QString& path);
    // "Open with": a file named on the command line, or handed over by a later start of the
    // program on this ledger. The window comes to the front and imports it once no other dialog or
    // command is open.
    void importHandedFile(const QString& path);
    // Takes the files that later starts of the program hand over, until the window closes. False
    // when another window on the ledger takes them.
    bool listenForHandedFiles();

    // While the list is being exported, a refill keeps the rows already listed and appends the
    // new ones after them, so the export never reads a row twice or loses its place. The window
    // shows the hourglass meanwhile.
    void setExporting(bool exporting);
    bool isExporting() const { return exporting_; }
    // Set once the window is being closed; a long command over the window ends by its LongTask.
    bool isClosing() const { return closing_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    // Places the list, the find bar, the buttons and the summary for the window's size.
    void layOut();
    void connectEvents();
    void Form_QueryUnload();

    void PushButton1_Click(); // Edit Selected
    void PushButton2_Click(); // Add New
    void PushButton3_Click(); // Delete Selected
    void PushButton4_Click(); // Duplicate Selected
    void PushButton5_Click(); // Create/Print Report
    void PushButton6_Click(); // Save Database To Excel
    void PushButton7_Click(); // Currency Option
    void PushButton8_Click(); // Help

    bool listIsEmpty() const;
    // The id text of the selected row; throws when no row is selected.
    QString selectedId() const;
    // Edit, Delete and Duplicate: steps 100 and 102 find the selected entry (reported and stopped
    // when the list is empty or no row is selected), `change` acts on its id as one step that Undo
    // takes back, then the list is refilled at `refillStep`.
    void changeSelected(QStringView procedure, const QString& undoName, int refillStep,
                        const std::function<void(ErrorTrap&, const QString&)>& change);
    // Sets m_ID, then the caption (which loads the window), then shows it modally: three steps.
    void openEntryWindow(ErrorTrap& trap, int firstStep, const QString& id, const QString& caption);
    // Keeps a row selected after a refill, so the commands always have one to act on.
    void keepSelection(int previousRow);
    // After an undo or redo: the list refilled and the first of these entries selected.
    void refillAndSelect(const QList<qint64>& ids);
    // A click on a column header sorts by it; a second click reverses the order.
    void sortByColumn(int column);
    // The list's context menu: the additions to the designed commands.
    void buildListMenu();
    void showListMenu(const QPoint& position);
    // After a restore or a change of location: the connection opened afresh on the ledger, the list
    // refilled, and the undo history of the replaced ledger forgotten.
    void reconnect();
    // Opens the ledger `text` names to try it, keeps it as the user's choice and moves the window to
    // it; when it cannot be opened, says why and the window stays where it is.
    void useLedgerAt(const QString& text);
    // Another program changed the ledger: the list and its summary are read again, keeping the
    // selected and the ticked entries (by id, wherever they now list), the order, the find bar's
    // filter and the scroll position. While one of the program's own commands or dialogs is open
    // it waits, and follows once that has ended.
    void followLedger();

    // The entries of the ledger the program has open, whichever connection that is at the time.
    LedgerEntries ledger_;
    LedgerLocation location_;
    double balance_ = 0;
    bool exporting_ = false;
    bool closing_ = false;
    QTableView* ListView1 = nullptr;
    LedgerModel* model_ = nullptr;
    LedgerView* view_ = nullptr;
    FindBar* findBar_ = nullptr;
    QAction* findAction_ = nullptr;
    QMenu* listMenu_ = nullptr;
    QAction* statisticsAction_ = nullptr;
    QDate offeredOn_;
    bool offering_ = false;
    QPointer<StatisticsWindow> statistics_;
    LedgerHistory* history_ = nullptr;
    SafetyNet* safetyNet_ = nullptr;
    HandedFiles* handedFiles_ = nullptr;
    InstanceServer* instanceServer_ = nullptr;
    LedgerWatcher* watcher_ = nullptr;
    QTimer* followLater_ = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* PushButton1 = nullptr;
    QPushButton* PushButton2 = nullptr;
    QPushButton* PushButton3 = nullptr;
    QPushButton* PushButton4 = nullptr;
    QPushButton* PushButton5 = nullptr;
    QPushButton* PushButton6 = nullptr;
    QPushButton* PushButton7 = nullptr;
    QPushButton* PushButton8 = nullptr;
};
