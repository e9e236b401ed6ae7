#include "ui/importing/importdialog.h"

#include "importing/importsource.h"
#include "ui/importing/importpreviewmodel.h"
#include "ui/importing/importprogress.h"
#include "ui/importing/openguessnotice.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr QChar delimiters[] = {u',', u';', u'\t', u'|'};
constexpr TextEncoding encodings[] = {TextEncoding::Utf8, TextEncoding::Utf16LE, TextEncoding::Utf16BE,
                                      TextEncoding::Windows1252, TextEncoding::Latin1};
constexpr DateOrder dateOrders[] = {DateOrder::DMY, DateOrder::MDY, DateOrder::YMD};
constexpr DecimalMark decimalMarks[] = {DecimalMark::Point, DecimalMark::Comma};
constexpr ImportField fields[] = {ImportField::Ignore, ImportField::Date,  ImportField::Amount,
                                  ImportField::In,     ImportField::Out,   ImportField::Reason,
                                  ImportField::From,   ImportField::To,    ImportField::Counterparty,
                                  ImportField::Method, ImportField::Notes, ImportField::Direction};
// Header lines are looked for among the first rows only; more would be no statement's preamble.
constexpr int headerLineChoices = 20;
// A sample of a column shown beside its choice, cut to keep the list narrow.
constexpr int sampleLength = 40;

// The last line the header may be put on: where the last of the choosable rows starts.
int lastHeaderLine(const ImportTable& table)
{
    return table.lineOf(std::min<qsizetype>(headerLineChoices, table.rows.size()) - 1);
}

template <class T, size_t N> int indexOf(const T (&choices)[N], T value)
{
    return int(std::find(std::begin(choices), std::end(choices), value) - std::begin(choices));
}

} // namespace

ImportDialog::ImportDialog(const QString& path, LedgerEntries ledger, QWidget* owner)
    : QDialog(owner), inLedger_(std::move(ledger)), model_(new ImportPreviewModel(this))
{
    // A long file takes a while: the owner shows the progress until this window opens.
    ImportProgress progress(owner, tr("Reading '%1'…").arg(QFileInfo(path).fileName()));
    ImportSource source = readImportSource(path, [&](qint64 bytes) { return progress.reading(bytes); });
    table_ = std::move(source.table);
    text_ = std::move(source.text);
    csv_ = source.csv;
    layout_ = guessLayout(table_);

    setWindowTitle(tr("Import Entries - %1").arg(QFileInfo(path).fileName()));
    setModal(true);
    buildControls();
    showSettings();
    convertWith(progress);
    resize(1000, 640);
}

ImportDialog::~ImportDialog() = default;

void ImportDialog::buildControls()
{
    // The file's settings in a first column of three, its values' in a second, each with room for a notice.
    auto* settings = new QGridLayout;
    int count = 0;
    const auto addSetting = [&](const QString& label, QWidget* control, const char* name) {
        control->setObjectName(QString::fromLatin1(name));
        auto* caption = new QLabel(label, this);
        caption->setBuddy(control);
        const int row = count % 3, column = count / 3 * 3;
        settings->addWidget(caption, row, column);
        settings->addWidget(control, row, column + 1);
        ++count;
        return caption;
    };
    const auto addNotice = [&](QLabel* caption, const QString& text, const QString& detail, const char* name) {
        auto* notice = new OpenGuessNotice(text, detail, caption, this);
        notice->setObjectName(QString::fromLatin1(name));
        int row = 0, column = 0, rows = 0, columns = 0;
        settings->getItemPosition(settings->indexOf(caption), &row, &column, &rows, &columns);
        settings->addWidget(notice, row, column + 2, Qt::AlignLeft);
        return notice;
    };
    delimiter_ = new QComboBox(this);
    delimiter_->addItems({tr("Comma"), tr("Semicolon"), tr("Tab"), tr("Bar")});
    addSetting(tr("&Delimiter:"), delimiter_, "delimiter");
    encoding_ = new QComboBox(this);
    for (TextEncoding encoding : encodings)
        encoding_->addItem(encodingName(encoding));
    addSetting(tr("&Encoding:"), encoding_, "encoding");
    headerLine_ = new QSpinBox(this);
    headerLine_->setRange(0, lastHeaderLine(table_));
    headerLine_->setSpecialValueText(tr("none"));
    addSetting(tr("&Header line:"), headerLine_, "headerLine");
    dateOrder_ = new QComboBox(this);
    dateOrder_->addItems({tr("Day Month Year"), tr("Month Day Year"), tr("Year Month Day")});
    dateOrderNotice_ = addNotice(addSetting(tr("Date &order:"), dateOrder_, "dateOrder"),
                                 tr("The dates could be read either way; check this."),
                                 tr("Nothing in the file tells the day from the month, so the order of your region "
                                    "was chosen."),
                                 "dateOrderNotice");
    decimalMark_ = new QComboBox(this);
    decimalMark_->addItems({tr("Point (1,234.56)"), tr("Comma (1.234,56)")});
    decimalMarkNotice_ = addNotice(addSetting(tr("Decimal &mark:"), decimalMark_, "decimalMark"),
                                   tr("The amounts could be read either way; check this."),
                                   tr("Nothing in the file tells the decimal mark from the thousands separator, so "
                                      "the mark of your region was chosen."),
                                   "decimalMarkNotice");
    settings->setColumnMinimumWidth(2, 24);
    settings->setColumnStretch(6, 1);
    if (!text_) {
        delimiter_->setEnabled(false);
        encoding_->setEnabled(false);
    }

    columns_ = new QTableWidget(0, 2, this);
    columns_->setObjectName(u"columns"_s);
    columns_->setHorizontalHeaderLabels({tr("Column in the file"), tr("Goes to")});
    columns_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    columns_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    columns_->verticalHeader()->hide();
    columns_->setSelectionMode(QAbstractItemView::NoSelection);

    preview_ = new QTableView(this);
    preview_->setObjectName(u"preview"_s);
    preview_->setModel(model_);
    preview_->verticalHeader()->hide();
    preview_->verticalHeader()->setDefaultSectionSize(preview_->fontMetrics().height() + 6);
    preview_->setSelectionBehavior(QAbstractItemView::SelectRows);
    preview_->setWordWrap(false);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(columns_);
    splitter->addWidget(preview_);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({300, 700});

    summary_ = new QLabel(this);
    summary_->setObjectName(u"summary"_s);
    summary_->setWordWrap(true);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(tr("&Import"));
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(settings);
    layout->addWidget(splitter, 1);
    layout->addWidget(summary_);
    layout->addWidget(buttons_);

    connect(delimiter_, &QComboBox::currentIndexChanged, this, [this](int index) {
        change([&] {
            csv_.delimiter = delimiters[index];
            rereadText();
        });
    });
    connect(encoding_, &QComboBox::currentIndexChanged, this, [this](int index) {
        change([&] {
            csv_.encoding = encodings[index];
            rereadText();
        });
    });
    connect(headerLine_, &QSpinBox::valueChanged, this, [this](int line) {
        change([&] {
            layout_.headerRow = table_.rowAt(line);
            fillColumnChoices();
            convert();
        });
    });
    connect(dateOrder_, &QComboBox::currentIndexChanged, this, [this](int index) {
        change([&] {
            layout_.dateOrder = dateOrders[index];
            convert();
        });
    });
    connect(decimalMark_, &QComboBox::currentIndexChanged, this, [this](int index) {
        change([&] {
            layout_.decimalMark = decimalMarks[index];
            convert();
        });
    });
    connect(model_, &ImportPreviewModel::ticksChanged, this, &ImportDialog::showSummary);
}

void ImportDialog::showSettings()
{
    const QSignalBlocker blockers[] = {QSignalBlocker(delimiter_), QSignalBlocker(encoding_),
                                       QSignalBlocker(headerLine_), QSignalBlocker(dateOrder_),
                                       QSignalBlocker(decimalMark_)};
    delimiter_->setCurrentIndex(std::max(0, indexOf(delimiters, csv_.delimiter)));
    encoding_->setCurrentIndex(indexOf(encodings, csv_.encoding));
    headerLine_->setMaximum(std::max(headerLine_->maximum(), table_.lineOf(layout_.headerRow)));
    headerLine_->setValue(table_.lineOf(layout_.headerRow));
    dateOrder_->setCurrentIndex(indexOf(dateOrders, layout_.dateOrder));
    decimalMark_->setCurrentIndex(indexOf(decimalMarks, layout_.decimalMark));
    dateOrderNotice_->setOpen(layout_.dateOrderOpen);
    decimalMarkNotice_->setOpen(layout_.decimalMarkOpen);
    fillColumnChoices();
}

void ImportDialog::change(const std::function<void()>& apply)
{
    const CsvOptions csv = csv_;
    const ImportTable table = table_;
    const ImportLayout layout = layout_;
    const QString readProblem = readProblem_;
    try {
        apply();
    } catch (const Cancelled&) {
        // The preview still shows the file as it was read before: so do the settings.
        csv_ = csv;
        table_ = table;
        layout_ = layout;
        readProblem_ = readProblem;
        showSettings();
    }
}

void ImportDialog::rereadText()
{
    ImportProgress progress(this, tr("Reading the file again…"));
    try {
        table_ = readCsv(*text_, csv_, progress.reading(text_->size()));
        readProblem_.clear();
    } catch (const Failure& failure) {
        // Read another way the file may well be unreadable: the dialog says so and imports nothing.
        table_ = {};
        readProblem_ = failure.description();
    }
    layout_ = guessLayout(table_);
    headerLine_->setMaximum(lastHeaderLine(table_));
    showSettings();
    convertWith(progress);
}

void ImportDialog::fillColumnChoices()
{
    // The guessed layout has one column per column of the widest row.
    const int count = int(layout_.columns.size());
    columns_->setRowCount(count);
    const int header = layout_.headerRow;
    const int firstData = header + 1;
    for (int c = 0; c < count; ++c) {
        QString title = tr("Column %1").arg(c + 1);
        const auto cell = [&](int row) {
            return row >= 0 && row < table_.rows.size() && c < table_.rows[row].size() ? table_.rows[row][c].trimmed()
                                                                                       : QString();
        };
        if (!cell(header).isEmpty())
            title += u": "_s + cell(header);
        else if (!cell(firstData).isEmpty())
            title += u" ("_s + cell(firstData).left(sampleLength) + u')';
        auto* item = new QTableWidgetItem(title);
        item->setFlags(Qt::ItemIsEnabled);
        columns_->setItem(c, 0, item);

        auto* choice = qobject_cast<QComboBox*>(columns_->cellWidget(c, 1));
        if (!choice) {
            choice = new QComboBox(columns_);
            for (ImportField field : fields)
                choice->addItem(importFieldName(field));
            connect(choice, &QComboBox::currentIndexChanged, this, [this, c](int index) {
                change([&] {
                    layout_.columns[c] = fields[index];
                    convert();
                });
            });
            columns_->setCellWidget(c, 1, choice);
        }
        const QSignalBlocker quiet(choice);
        choice->setCurrentIndex(indexOf(fields, layout_.columns[c]));
        choice->setAccessibleName(title);
    }
}

std::vector<bool> ImportDialog::inLedger(const std::vector<ImportRow>& rows)
{
    try {
        std::vector<bool> found = inLedger_.find(rows);
        ledgerProblem_.clear();
        return found;
    } catch (const std::exception& error) {
        ledgerProblem_ =
            tr("The ledger could not be searched for these entries: %1").arg(QString::fromUtf8(error.what()));
        return std::vector<bool>(rows.size());
    }
}

void ImportDialog::convert()
{
    ImportProgress progress(this, tr("Reading the rows again…"));
    convertWith(progress);
}

void ImportDialog::convertWith(ImportProgress& progress)
{
    std::vector<ImportRow> rows = convertStatement(table_, layout_, progress.converting(table_.rows.size()));
    std::vector<bool> found = inLedger(rows);
    progress.finish();
    model_->setRows(std::move(rows), std::move(found));
    preview_->resizeColumnsToContents();
}

void ImportDialog::showSummary()
{
    QStringList lines;
    if (!readProblem_.isEmpty())
        lines << readProblem_;
    else if (!layout_.columns.contains(ImportField::Date))
        lines << tr("Choose the column that holds the date.");
    else if (!mapsAnAmount(layout_.columns))
        lines << tr("Choose the column that holds the amount, or the In and Out columns.");
    const qsizetype chosen = model_->tickedCount();
    lines << (chosen == 1 ? tr("1 entry will be imported.") : tr("%1 entries will be imported.").arg(chosen));
    if (const qsizetype bad = model_->unreadableCount())
        lines << (bad == 1 ? tr("1 row cannot be read (red) and is left out.")
                           : tr("%1 rows cannot be read (red) and are left out.").arg(bad));
    if (const qsizetype known = model_->inLedgerCount())
        lines << (known == 1
                      ? tr("1 row is already in the ledger (yellow) and is left out unless ticked.")
                      : tr("%1 rows are already in the ledger (yellow) and are left out unless ticked.").arg(known));
    if (!ledgerProblem_.isEmpty())
        lines << ledgerProblem_;
    summary_->setText(lines.join(u' '));
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(model_->tickedCount() > 0);
}

std::vector<NewEntry> ImportDialog::chosenEntries() const
{
    std::vector<NewEntry> entries;
    for (const ImportedEntry& entry : model_->tickedEntries())
        entries.push_back(storedEntry(entry));
    return entries;
}
