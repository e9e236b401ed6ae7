#pragma once

// Form1, the main window: the ledger list and its summary, and the eight commands.
//
//   ListView1      the ledger list, one row per entry, a tick box in the first column
//   Frame1         "Summary" frame under the list
//   Label1..3      Received / Paid / Balance totals inside Frame1
//   PushButton2    Add New            PushButton4  Duplicate Selected
//   PushButton1    Edit Selected      PushButton3  Delete Selected
//   PushButton7    Currency Option    PushButton5  Create/Print Report
//   PushButton6    Save Database To Excel          PushButton8  Help

#include <QWidget>
#include <array>

class ErrorTrap;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableView;
class LedgerModel;

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

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
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
    // Sets m_ID, then the caption (which loads the window), then shows it modally: three steps.
    void openEntryWindow(ErrorTrap& trap, int firstStep, const QString& id, const QString& caption);
    // Keeps a row selected after a refill, so the commands always have one to act on.
    void keepSelection(int previousRow);

    double balance_ = 0;
    QTableView* ListView1 = nullptr;
    LedgerModel* model_ = nullptr;
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
