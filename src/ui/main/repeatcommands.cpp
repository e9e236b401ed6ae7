// Form1's commands on repeating entries and the offer of those that fell due.
#include "ui/main/form1.h"

#include "app/prompter.h"
#include "base/clock.h"
#include "repeating/repeatstore.h"
#include "ui/main/ledgerhistory.h"
#include "ui/repeating/postingdialog.h"
#include "ui/repeating/repeatdialog.h"
#include "ui/repeating/rulesdialog.h"

#include <QTimer>

namespace {

// How often the running program looks whether the date has changed.
constexpr int dayWatchMs = 60'000;

QString failure(const std::exception& error)
{
    return QString::fromUtf8(error.what());
}

} // namespace

void Form1::repeatSelected()
{
    RepeatRule rule;
    try {
        EntryRows rows;
        ledger_.readOne(rows, selectedId());
        if (rows.atEnd())
            return;
        rule.entry = rows.entry();
    } catch (const std::exception& error) {
        MsgBox(tr("No repeating entry can be made: %1").arg(failure(error)));
        return;
    }
    // The selected entry is the first of them: the rule begins a month later, on its day.
    rule.unit = RepeatUnit::Months;
    rule.dayOfMonth = rule.entry.date.day();
    rule.start = rule.entry.date.addMonths(1);
    RepeatDialog dialog(rule, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        RepeatStore(ledger_.connection()).add(dialog.rule());
    } catch (const std::exception& error) {
        MsgBox(tr("The repeating entry could not be kept: %1").arg(failure(error)));
        return;
    }
    // A rule that began in the past has occurrences due already.
    offerDueEntries();
}

void Form1::showRepeatingRules()
{
    const RepeatStore store(ledger_.connection());
    RulesDialog dialog(store, this);
    dialog.exec();
    offerDueEntries();
}

void Form1::offerDueEntries()
{
    // A second offer while one is open would show the same occurrences twice.
    if (offering_ || closing_)
        return;
    offering_ = true;
    offeredOn_ = today();
    std::vector<Occurrence> due;
    try {
        due = RepeatStore(ledger_.connection()).dueOccurrences(offeredOn_);
    } catch (const std::exception&) {
        // No ledger, or one that cannot be read: the start-up has said so already.
    }
    if (!due.empty()) {
        PostingDialog dialog(std::move(due), this);
        dialog.exec();
        const std::vector<Occurrence> chosen = dialog.chosen();
        const RepeatStore store(ledger_.connection());
        if (dialog.choice() == PostingDialog::Add && !chosen.empty()) {
            QList<qint64> ids;
            history_->record(tr("Repeating entries"), [&] {
                try {
                    ids = store.post(chosen);
                } catch (const std::exception& error) {
                    MsgBox(tr("The repeating entries could not be added, so none was: %1").arg(failure(error)));
                }
            });
            refillAndSelect(ids);
        } else if (dialog.choice() == PostingDialog::Skip && !chosen.empty()) {
            try {
                store.skip(chosen);
            } catch (const std::exception& error) {
                MsgBox(tr("The repeating entries could not be skipped: %1").arg(failure(error)));
            }
        }
    }
    offering_ = false;
}

void Form1::startRepeatingEntries()
{
    auto* dayWatch = new QTimer(this);
    connect(dayWatch, &QTimer::timeout, this, [this] {
        if (today() != offeredOn_)
            offerDueEntries();
    });
    dayWatch->start(dayWatchMs);
    // After the window has shown: the offer stands over it.
    QTimer::singleShot(0, this, &Form1::offerDueEntries);
}
