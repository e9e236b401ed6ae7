#pragma once

#include "importing/csvreader.h"
#include "importing/importlayout.h"
#include "importing/rowsinledger.h"
#include "store/entryimport.h"
#include "store/ledgerentries.h"

#include <QByteArray>
#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

class ImportPreviewModel;
class ImportProgress;
class OpenGuessNotice;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QSpinBox;
class QTableView;
class QTableWidget;

// "Import Entries": a bank statement (.csv, .tsv, .txt) or a workbook (.xlsx) shown as the entries
// it would add. The delimiter and encoding of a text file, the header line, the date order, the
// decimal mark and which column goes to which field are guessed and can be changed; the preview
// follows every change. Where the file reads either way and only the user's region chose the date
// order or the decimal mark, a notice beside it asks the user to check it. Rows that cannot be read are red with the
// reason and never imported; rows the ledger holds already are marked and left out unless ticked.
class ImportDialog : public QDialog
{
    Q_OBJECT

public:
    // Reads the file. Throws Failure, in words for the user, when it cannot be read at all.
    // `ledger` is searched for the entries it holds already.
    ImportDialog(const QString& path, LedgerEntries ledger, QWidget* owner);
    ~ImportDialog() override;

    // The ticked rows, as they are to be stored.
    std::vector<NewEntry> chosenEntries() const;

private:
    void buildControls();
    void showSettings();
    // The text file read again with the chosen delimiter and encoding; everything guessed anew.
    void rereadText();
    // Applies a change of the settings; when the user cancels its progress, the settings go back to
    // what the preview still shows.
    void change(const std::function<void()>& apply);
    void fillColumnChoices();
    void convert();
    void convertWith(ImportProgress& progress);
    void showSummary();
    std::vector<bool> inLedger(const std::vector<ImportRow>& rows);

    std::optional<QByteArray> text_; // a text file's bytes; none for a workbook
    CsvOptions csv_;
    ImportTable table_;
    ImportLayout layout_;
    RowsInLedger inLedger_;
    QString ledgerProblem_; // why the ledger could not be searched
    QString readProblem_;   // why the text file cannot be read with the chosen delimiter and encoding

    ImportPreviewModel* model_;
    QComboBox* delimiter_ = nullptr;
    QComboBox* encoding_ = nullptr;
    QSpinBox* headerLine_ = nullptr;
    QComboBox* dateOrder_ = nullptr;
    QComboBox* decimalMark_ = nullptr;
    OpenGuessNotice* dateOrderNotice_ = nullptr;
    OpenGuessNotice* decimalMarkNotice_ = nullptr;
    QTableWidget* columns_ = nullptr;
    QTableView* preview_ = nullptr;
    QLabel* summary_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};
