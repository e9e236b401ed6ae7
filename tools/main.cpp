// quorvane_crash_harness: does the store keep every saved entry when its process dies, and when
// two processes save at once?
//   quorvane_crash_harness kill [RUNS [SEED]]        (default 200 runs, a random seed)
//   quorvane_crash_harness contend [WRITERS [ENTRIES]] (default 2 writers x 500 entries)
//   quorvane_crash_harness restore [RUNS [SEED]]      (default 100 kills while restoring backups)
//   quorvane_crash_harness repeat [RUNS [SEED]]       (default 100 kills while posting repeating entries)
//   quorvane_crash_harness repeat-twins [ROUNDS]      (default 10 rounds of two posters at once)
//   quorvane_crash_harness write DATAROOT PREFIX COUNT [PAUSE_MS] (the child kill and contend start)
//   quorvane_crash_harness restore-loop LEDGER A B      (the child restore starts)
//   quorvane_crash_harness repeat-post DATAROOT         (the child repeat starts)
//   quorvane_crash_harness share LEDGER [CLIENTS [COMMANDS [KILL]]] (default 5 x 2000, one more killed;
//                                                    KILL 0 kills none; LEDGER a server connection string)
//   quorvane_crash_harness client LEDGER NAME SEED COUNT (the child share starts)
#include "contention.h"
#include "killrun.h"
#include "ledgerclient.h"
#include "ledgerwriter.h"
#include "repeatkill.h"
#include "restorekill.h"
#include "sharedledger.h"

#include <QCoreApplication>
#include <cstdio>
#include <random>

using namespace Qt::StringLiterals;

namespace {

int argument(const QStringList& args, int index, int fallback)
{
    return index < args.size() ? args[index].toInt() : fallback;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    if (mode == u"write" && (args.size() == 5 || args.size() == 6))
        return runLedgerWriter(args[2], args[3], args[4].toInt(), argument(args, 5, 0));
    if (mode == u"kill")
        return runKillHarness(argument(args, 2, 200), unsigned(argument(args, 3, int(std::random_device()() >> 1))));
    if (mode == u"restore-loop" && args.size() == 5)
        return runRestoreLoop(args[2], args[3], args[4]);
    if (mode == u"restore")
        return runRestoreKillHarness(argument(args, 2, 100),
                                     unsigned(argument(args, 3, int(std::random_device()() >> 1))));
    if (mode == u"repeat-post" && args.size() == 3)
        return runRepeatPoster(args[2]);
    if (mode == u"repeat")
        return runRepeatKillHarness(argument(args, 2, 100),
                                    unsigned(argument(args, 3, int(std::random_device()() >> 1))));
    if (mode == u"repeat-twins")
        return runRepeatTwinHarness(argument(args, 2, 10));
    if (mode == u"share" && args.size() >= 3)
        return runSharedLedgerHarness(args[2], argument(args, 3, 5), argument(args, 4, 2000),
                                      argument(args, 5, 1) != 0);
    if (mode == u"client" && args.size() == 6)
        return runLedgerClient(args[2], args[3], unsigned(args[4].toInt()), args[5].toInt());
    if (mode == u"contend")
        return runContentionHarness(argument(args, 2, 2), argument(args, 3, 500));
    fprintf(
        stderr,
        "usage: %s kill [RUNS [SEED]] | contend [WRITERS [ENTRIES]] | restore [RUNS [SEED]] | repeat [RUNS [SEED]] | "
        "repeat-twins [ROUNDS] | share LEDGER [CLIENTS [COMMANDS [KILL]]]\n",
        argv[0]);
    return 64;
}
