#pragma once

#include <QHash>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

// Compiled statement shapes of one connection, kept for reuse. Compiling is most of the cost of a
// small insert; a text bound to a compiled statement is the same value as the text written in it.
class StatementCache
{
public:
    StatementCache() = default;
    ~StatementCache();
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // The compiled form of `shape`, or null when it does not compile as exactly one statement with
    // its texts as parameters (a text where SQL wants a name or a constant, say): the caller then
    // runs the statement as written.
    sqlite3_stmt* compiled(sqlite3* db, const QString& shape);
    void clear();

private:
    QHash<QString, sqlite3_stmt*> statements_;
};
