#pragma once

// Form2, the entry window: adds a ledger entry (m_ID empty) or edits the entry whose id is m_ID.
//
//   DateTimePicker1   the entry's date                      Text1    the amount, typed as text
//   Combo1            Reason pick list                      PushButton3 / PushButton4   its "+" / "-"
//   Combo2            From (Payor) pick list                PushButton5 / PushButton6   its "+" / "-"
//   Combo3            To (Payee) pick list                  PushButton7 / PushButton8   its "+" / "-"
//   Combo4            Payment Method pick list              PushButton9 / PushButton10  its "+" / "-"
//   Text2             notes, several lines                  Frame1   "Direction" frame
//   Option1           "Received" (paymenttype 1)            Option2  "Paid Out" (paymenttype 2)
//   PushButton2       OK: check and save                    PushButton1  Cancel
//   Label1_0..2       "Date", "Reason", "Amount"            lblDetails_0..3  "From (Payor)", "To (Payee)",
//                                                                            "Notes", "Payment Method"
//
// The pick lists are read from the settings when the window loads and written back on every close.

#include "store/ledgerentries.h"

#include <QCollator>
#include <QDialog>
#include <QString>
#include <optional>

class ErrorTrap;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class Form2 : public QDialog
{
    Q_OBJECT

public:
    // Reads and writes the entries through `ledger`.
    explicit Form2(LedgerEntries ledger, QWidget* parent = nullptr);
    ~Form2() override;

    // The entry to edit; the empty text for a new entry. The opener sets it before the caption.
    QString m_ID;

    // Sets the caption ("Add New" or "Edit Data"); the first call loads the window.
    void setCaption(const QString& caption);

    // Every way of closing (OK, Cancel, Escape, the close box) ends here and stores the pick lists.
    void done(int result) override;
    // Rejected at once, without showing, when the entry to edit was not found: its save would store nothing.
    int exec() override;

private:
    void buildControls();
    void connectEvents();

    void Form_Load();
    void LoadData();
    void Form_QueryUnload();

    void PushButton1_Click();
    void PushButton2_Click();

    // The "+" and "-" buttons of pick list `list` (0 Reason .. 3 Payment Method).
    void addAsked(int list);
    void removeSelected(int list);

    void fillPickList(ErrorTrap& trap, int list, int firstStep);
    void selectLoaded(ErrorTrap& trap, const EntryRows& rows, int list, int firstStep);
    void storePickList(ErrorTrap& trap, int list, int firstStep);
    bool refused(ErrorTrap& trap, int step, bool missing, const QString& message, QWidget* field);
    // The update of the loaded entry; false, after saying so, when another program changed or
    // deleted it since it was loaded.
    bool updateLoaded(const Entry& entry);

    // Adds an item at its sorted place without changing the selection; returns its row.
    int addPickItem(QComboBox* combo, const QString& item);
    QString notesText() const;

    QDateEdit* DateTimePicker1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QComboBox* Combo2 = nullptr;
    QComboBox* Combo3 = nullptr;
    QComboBox* Combo4 = nullptr;
    QPlainTextEdit* Text2 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QPushButton* PushButton1 = nullptr;
    QPushButton* PushButton2 = nullptr;
    QPushButton* PushButton3 = nullptr;
    QPushButton* PushButton4 = nullptr;
    QPushButton* PushButton5 = nullptr;
    QPushButton* PushButton6 = nullptr;
    QPushButton* PushButton7 = nullptr;
    QPushButton* PushButton8 = nullptr;
    QPushButton* PushButton9 = nullptr;
    QPushButton* PushButton10 = nullptr;

    // Combo1 .. Combo4 by list number.
    QComboBox* pickList(int list) const;

    LedgerEntries ledger_;
    QCollator collator_;
    bool loaded_ = false;
    // The entry as stored when it was loaded, or as last shown to the user in a refusal.
    std::optional<EntryImage> storedImage_;
    bool entryMissing_ = false;
    // The entry was deleted under the window: the next OK adds what was typed as a new entry.
    bool addInstead_ = false;
};
