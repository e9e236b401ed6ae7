#pragma once

#include "base/plainrefusal.h"
#include "store/storeerror.h"

#include <QByteArrayView>
#include <QString>
#include <libpq-fe.h>

// A write the ledger's owner does not allow this user; its text says so in plain words.
class WriteRefused : public StoreError, public PlainRefusal
{
public:
    using StoreError::StoreError;
};

// The plain words for a statement `sql` the server refused because this user may not change the
// ledger (no right to write, or a ledger opened to read), naming the ledger; the empty text when
// it was refused for another reason, or when it only read.
QString writeRefusal(PGconn* link, const PGresult* result, QByteArrayView sql);

// A statement that reads and locks nothing: a refused right there is no refused write.
bool readsOnly(QByteArrayView sql);
