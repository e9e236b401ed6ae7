// The list's "Ledger location…": the window moves to another ledger only once it was opened.
#include "app/prompter.h"
#include "base/paths.h"
#include "instance/instanceserver.h"
#include "store/connection.h"
#include "ui/backups/safetynet.h"
#include "ui/main/form1.h"
#include "ui/main/locationdialog.h"

#include <exception>

void Form1::chooseLedgerLocation()
{
    LocationDialog dialog(location_, this);
    if (dialog.exec() == QDialog::Accepted)
        useLedgerAt(dialog.text());
}

void Form1::useLedgerAt(const QString& text)
{
    LedgerLocation chosen;
    try {
        chosen = LedgerLocation::fromText(text);
        // Back to the file: made from the template when there is none yet, as at the first start.
        if (!chosen.onServer() && !FileExists(databaseFile()))
            copyLedgerTemplate(templateDatabase(), databaseFile());
        // Tried before anything changes: a ledger that cannot be opened leaves the window where it is.
        Connection trial;
        trial.open(chosen.connectionText());
        rememberLedgerLocation(chosen);
    } catch (const std::exception& error) {
        MsgBox(tr("The ledger stays at %1.\n\n%2").arg(location_.describe(), QString::fromUtf8(error.what())));
        return;
    }
    location_ = chosen;
    safetyNet_->setLocation(location_);
    reconnect();
    // Later starts on the new ledger hand their files to this window.
    if (instanceServer_ && instanceServer_->isListening()) {
        instanceServer_->close();
        instanceServer_->listen(location_.key());
    }
}
