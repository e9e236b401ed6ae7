#include "ui/entry/form2.h"

#include "app/errortrap.h"
#include "app/hoverpointer.h"
#include "app/prompter.h"
#include "app/windowlook.h"
#include "base/clock.h"
#include "money/numberparser.h"
#include "settings/settings.h"
#include "ui/entry/entrychanges.h"
#include "ui/entry/entrydesign.h"
#include "ui/entry/picklist.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>
#include <array>
#include <utility>

namespace {

QStringList itemsOf(const QComboBox* combo)
{
    QStringList items;
    for (int row = 0; row < combo->count(); ++row)
        items.append(combo->itemText(row));
    return items;
}

} // namespace

Form2::Form2(LedgerEntries ledger, QWidget* parent)
    : QDialog(parent), ledger_(std::move(ledger)), collator_(pickListCollator())
{
    buildControls();
    connectEvents();
}

Form2::~Form2() = default;

void Form2::connectEvents()
{
    installPointerRule(this,
                       {PushButton1, PushButton2, PushButton3, PushButton4, PushButton5, PushButton6, PushButton7,
                        PushButton8, PushButton9, PushButton10},
                       QList<QWidget*>{Frame1, Text2});
    connect(PushButton1, &QPushButton::clicked, this, &Form2::PushButton1_Click);
    connect(PushButton2, &QPushButton::clicked, this, &Form2::PushButton2_Click);
    const std::array plus{PushButton3, PushButton5, PushButton7, PushButton9};
    const std::array minus{PushButton4, PushButton6, PushButton8, PushButton10};
    for (int list = 0; list < 4; ++list) {
        connect(plus[list], &QPushButton::clicked, this, [this, list] { addAsked(list); });
        connect(minus[list], &QPushButton::clicked, this, [this, list] { removeSelected(list); });
    }
}

QComboBox* Form2::pickList(int list) const
{
    const std::array combos{Combo1, Combo2, Combo3, Combo4};
    return combos[list];
}

void Form2::setCaption(const QString& caption)
{
    setWindowTitle(caption);
    if (!std::exchange(loaded_, true))
        Form_Load();
}

void Form2::done(int result)
{
    Form_QueryUnload();
    QDialog::done(result);
}

int Form2::exec()
{
    return entryMissing_ ? QDialog::Rejected : QDialog::exec();
}

void Form2::Form_Load()
{
    ErrorTrap trap(u"Form2", u"Form_Load");
    applyDialogLook(trap, this);
    for (int list = 0; list < 4; ++list)
        fillPickList(trap, list, 108 + 14 * list);
    for (int list = 0; list < 4; ++list)
        trap.step(164 + 2 * list, [&] { pickList(list)->setCurrentIndex(-1); });
    trap.step(172, [&] { Text1->clear(); });
    trap.step(174, [&] { DateTimePicker1->setDate(today()); });
    if (trap.test(176, [&] { return !m_ID.isEmpty(); }))
        trap.step(178, [&] { LoadData(); });
}

void Form2::fillPickList(ErrorTrap& trap, int list, int firstStep)
{
    const PickListDesign& design = pickListDesign[list];
    QString stored;
    trap.step(firstStep,
              [&] { stored = GetSetting(QString::fromUtf16(design.key), QString::fromUtf16(design.defaults)); });
    // An empty stored text is a list the user emptied: it stays empty, the defaults do not return.
    for (const QString& item : pickListItems(stored))
        trap.step(firstStep + 10, [&] { addPickItem(pickList(list), item); });
}

void Form2::LoadData()
{
    ErrorTrap trap(u"Form2", u"LoadData");
    EntryRows rows;
    // Without the row there is nothing to load: one report, not one per field.
    if (!trap.step(102, [&] { ledger_.readOne(rows, m_ID); }))
        return;
    if (trap.test(104, [&] { return !rows.atEnd(); })) {
        trap.step(104, [&] { storedImage_ = rows.image(); });
        QDate date;
        QString stored;
        if (trap.test(106, [&] {
                stored = rows.text(EntryField::Date);
                date = rows.date();
                return date.isValid();
            }))
            trap.step(108, [&] { DateTimePicker1->setDate(date); });
        else
            // Saving would silently put today in its place: say so before the window opens.
            MsgBox(tr("The date stored for this entry (\"%1\") cannot be read. The date field shows today; "
                      "check it before you save.")
                       .arg(stored));
        for (int list = 0; list < 4; ++list)
            selectLoaded(trap, rows, list, 110 + 16 * list);
        trap.step(174, [&] {
            // No stored amount leaves the box empty, so the check asks for one instead of saving 0.
            Text1->setText(rows.isNull(EntryField::Amount) ? QString() : amountText(rows.amount()));
        });
        trap.step(176, [&] { Text2->setPlainText(rows.text(EntryField::Notes)); });
        std::optional<Direction> direction;
        if (trap.test(178, [&] {
                direction = rows.direction();
                return direction == Direction::Received;
            }))
            trap.step(180, [&] { Option1->setChecked(true); });
        else if (trap.test(182, [&] { return direction == Direction::PaidOut; }))
            trap.step(184, [&] { Option2->setChecked(true); });
    } else {
        // Opened with add-mode values, its save would change nothing: an edit lost.
        trap.step(104, [&] {
            entryMissing_ = true;
            MsgBox(tr("This entry is no longer in the ledger: another program deleted it, so there is nothing to "
                      "edit."));
        });
    }
    trap.step(186, [&] { rows.close(); });
}

void Form2::selectLoaded(ErrorTrap& trap, const EntryRows& rows, int list, int firstStep)
{
    QComboBox* combo = pickList(list);
    QString text;
    int row = -1;
    // Only the very same text counts as listed: "rent" is not "Rent".
    const bool read = trap.step(firstStep, [&] {
        text = rows.text(pickListDesign[list].field);
        row = combo->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    });
    // A row without this text leaves the list unselected rather than adding an empty item.
    if (!read || text.isEmpty())
        return;
    if (trap.test(firstStep + 10, [&] { return row < 0; }))
        trap.step(firstStep + 12, [&] { row = addPickItem(combo, text); });
    trap.step(firstStep + 14, [&] { combo->setCurrentIndex(row); });
}

void Form2::Form_QueryUnload()
{
    ErrorTrap trap(u"Form2", u"Form_QueryUnload");
    for (int list = 0; list < 4; ++list)
        storePickList(trap, list, 100 + 14 * list);
}

void Form2::storePickList(ErrorTrap& trap, int list, int firstStep)
{
    const QString text = pickListText(itemsOf(pickList(list)));
    // Written even when empty, so an emptied list stays empty next time.
    trap.step(firstStep + 12, [&] { SaveSetting(QString::fromUtf16(pickListDesign[list].key), text); });
}

void Form2::PushButton1_Click()
{
    ErrorTrap trap(u"Form2", u"PushButton1_Click");
    trap.step(100, [&] { reject(); });
}

void Form2::PushButton2_Click()
{
    ErrorTrap trap(u"Form2", u"PushButton2_Click");
    if (refused(trap, 100, Combo1->currentIndex() < 0, tr("You forgot to input Reason."), Combo1) ||
        refused(trap, 102, Combo2->currentIndex() < 0, tr("You forgot to input From."), Combo2) ||
        refused(trap, 104, Combo3->currentIndex() < 0, tr("You forgot to input To."), Combo3) ||
        refused(trap, 106, Text1->text().isEmpty(), tr("You forgot to input Amount."), Text1) ||
        refused(trap, 108, !parseNumber(Text1->text()), tr("Amount must be numeric value"), Text1) ||
        refused(trap, 110, Combo4->currentIndex() < 0, tr("You forgot to input Payment Method."), Combo4))
        return;

    Entry entry;
    entry.date = DateTimePicker1->date();
    entry.reason = Combo1->currentText();
    entry.fromCompany = Combo2->currentText();
    entry.toCompany = Combo3->currentText();
    entry.amountText = Text1->text();
    entry.paymentMethod = Combo4->currentText();
    entry.notes = notesText();
    entry.direction = Option2->isChecked() ? Direction::PaidOut : Direction::Received;
    const bool edit = !m_ID.isEmpty() && !addInstead_;
    bool stored = true;
    const auto save = [&] {
        if (edit)
            stored = updateLoaded(entry);
        else
            ledger_.add(entry);
    };
    // A save the ledger refuses keeps the window open with everything typed, to retry or cancel.
    if (!trap.step(edit ? 124 : 128, save) || !stored)
        return;
    trap.step(130, [&] { MsgBox(tr("Record successfully saved.")); });
    trap.step(132, [&] { accept(); });
}

bool Form2::refused(ErrorTrap& trap, int step, bool missing, const QString& message, QWidget* field)
{
    if (!missing)
        return false;
    trap.step(step, [&] {
        MsgBox(message);
        field->setFocus();
    });
    return true;
}

bool Form2::updateLoaded(const Entry& entry)
{
    // Loading failed and was reported: there is nothing to check against.
    if (!storedImage_) {
        ledger_.update(entry, m_ID);
        return true;
    }
    try {
        ledger_.updateUnchanged(entry, m_ID, *storedImage_);
        return true;
    } catch (const EntryChanged& change) {
        // The user has now seen what is stored, so the next OK may save over it.
        storedImage_ = change.now;
        MsgBox(tr("Another program changed this entry after you opened it, so nothing was saved:\n\n%1\n\nWhat you "
                  "typed is still here: OK saves it over that change, Cancel keeps the entry as it is now.")
                   .arg(changedFieldsText(change)));
    } catch (const EntryGone&) {
        addInstead_ = true;
        MsgBox(tr("Another program deleted this entry after you opened it, so nothing was saved.\n\nWhat you typed "
                  "is still here: OK adds it as a new entry, Cancel leaves it out."));
    }
    return false;
}

void Form2::addAsked(int list)
{
    ErrorTrap trap(u"Form2", QStringView(pickListDesign[list].addProcedure));
    QString answer;
    trap.step(100, [&] { answer = InputBox(tr(pickListDesign[list].prompt), tr(pickListDesign[list].title)); });
    if (trap.test(102, [&] { return answer.isEmpty(); }))
        return;
    trap.step(104, [&] { addPickItem(pickList(list), answer); });
}

void Form2::removeSelected(int list)
{
    ErrorTrap trap(u"Form2", QStringView(pickListDesign[list].removeProcedure));
    QComboBox* combo = pickList(list);
    if (trap.test(100, [&] { return combo->currentIndex() < 0; }))
        return;
    trap.step(102, [&] {
        combo->removeItem(combo->currentIndex());
        combo->setCurrentIndex(-1);
    });
}

int Form2::addPickItem(QComboBox* combo, const QString& item)
{
    const int row = sortedRow(*combo->model(), item, collator_);
    const bool noneSelected = combo->currentIndex() < 0;
    combo->insertItem(row, item);
    // A list selects its first item by itself; adding must never choose for the user.
    if (noneSelected)
        combo->setCurrentIndex(-1);
    return row;
}

QString Form2::notesText() const
{
    // The raw text keeps no-break spaces, which the plain-text view would turn into blanks.
    QString text = Text2->document()->toRawText();
    for (QChar& c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u'\n';
    }
    return text;
}
