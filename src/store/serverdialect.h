#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringView>
#include <variant>

// A value sent to the server beside a statement's text, never inside it.
using ServerValue = std::variant<QString, QDate, double>;

// A statement for the server: `text` holds $1, $2 … where the values stood; $n is values[n - 1].
struct ServerStatement
{
    QString text;
    QList<ServerValue> values;

    bool operator==(const ServerStatement&) const = default;
};

// Reads one statement of the ledger dialect, as statements.cpp writes them, for the server. Quoted
// texts, #M/D/Y# literals and the literals of CDate and CDbl become parameters, read on this side
// as the ledger file's engine reads them; [Name]s become quoted lower-case names; comments are
// dropped. Throws StoreError, with the ledger file's words where it has some for the same fault,
// for a text holding more or less than one statement, a NUL, a value CDate or CDbl cannot read,
// and for what only the ledger file's engine could read (CDate or CDbl of no literal, parameters
// of the statement's own, prefixed texts).
ServerStatement serverStatement(QStringView ledgerStatement);

// A statement of the store's own for the server: its '?' and '?N' parameters become $n, counted as
// the ledger file's engine counts them, and [Name]s become quoted lower-case names. `parameters` is
// the highest n. Throws StoreError for a text holding more than one statement.
struct ServerStoreSql
{
    QByteArray text;
    int parameters = 0;

    bool operator==(const ServerStoreSql&) const = default;
};
ServerStoreSql serverStoreSql(QByteArrayView storeSql);
