#include "cli/cliledger.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "ledgerlist/ledgertotals.h"
#include "money/storedcurrency.h"

using namespace Qt::StringLiterals;

int runTotals(const DateRange& range, OutputForm form)
{
    return reportingFailures([&] {
        const auto ledger = openLedgerToRead();
        LedgerTotals totals;
        qint64 entries = 0;
        scanEntries(*ledger, range, [&](const EntryRows& entry) {
            totals.add(entry.direction(), entry.amount());
            ++entries;
        });
        if (form == OutputForm::Json) {
            std::printf("{\"received\": %s, \"paid\": %s, \"balance\": %s, \"entries\": %lld}\n",
                        plainMoney(totals.received).constData(), plainMoney(totals.paid).constData(),
                        plainMoney(totals.balance()).constData(), static_cast<long long>(entries));
            return 0;
        }
        buildStoredMoneyFormat();
        for (const QString& line : {receivedCaption(totals.received), paidCaption(totals.paid),
                                    balanceCaption(totals.balance()), u"Entries: %1"_s.arg(entries)})
            say(stdout, line);
        return 0;
    });
}
