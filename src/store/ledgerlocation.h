#pragma once

#include <QString>
#include <memory>

class BackedUpLedger;

// Where the ledger is: the user's private file (the default), or a database on a server named by a
// connection string (libpq's keywords or a postgresql:// URI) that never holds a password. The
// choice is kept in the setting "LedgerLocation"; empty means the file.
class LedgerLocation
{
public:
    // The private file.
    LedgerLocation() = default;

    // The location a text names: the file for the empty text, else a server. Throws StoreError,
    // without quoting the text, when it names no server or holds a password.
    static LedgerLocation fromText(const QString& text);
    // The location given for this run, or else the one kept in the settings. A kept text that names
    // no server fails when the ledger is opened (connectionText), saying why.
    static LedgerLocation chosen();

    bool onServer() const { return !text_.isEmpty(); }
    // As the setting keeps it: empty for the file.
    const QString& text() const { return text_; }
    // What Connection::open takes. Throws StoreError when the kept text names no server.
    QString connectionText() const;
    // For messages: the file's path, or the server's database, host, port and user.
    QString describe() const;
    // Tells ledgers apart, for the one window on each: the file's path, or the server's address.
    QString key() const;

    // Where its backups are kept: "backups" beside the file, or a folder of each server ledger's own
    // under the data folder's "backups", so two servers' backups never mix.
    QString backupsFolder() const;
    // What its backups are taken of and restored into.
    std::shared_ptr<const BackedUpLedger> toBackUp() const;

private:
    QString text_;
    QString fault_; // why a kept text names no ledger
};

// Keeps `location` as the user's choice. Throws Failure when the settings cannot be written.
void rememberLedgerLocation(const LedgerLocation& location);

// Uses `location` until the program ends without keeping it: a command for scripts leaves the
// user's choice as it was.
void useLedgerLocationForThisRun(const LedgerLocation& location);
