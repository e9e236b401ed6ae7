#pragma once

#include "store/engine.h"

#include <vector>

struct sqlite3_stmt;

// A compiled SQLite statement behind the engine's statement; finalized with it.
class SqliteStatement final : public EngineStatement
{
public:
    explicit SqliteStatement(sqlite3_stmt* stmt);
    ~SqliteStatement() override;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    void bindInt(int index, qint64 value) override;
    void bindDouble(int index, double value) override;
    void bindText(int index, QStringView value) override;
    void bindDate(int index, QDate value) override;
    bool next() override;
    qint64 changes() const override { return changes_; }
    void reset() override;
    int columnCount() const override { return int(dateColumns_.size()); }
    QString columnName(int column) const override;
    bool dateColumn(int column) const override { return dateColumns_[size_t(column)]; }
    ColumnKind kind(int column) const override;
    qint64 intValue(int column) const override;
    double doubleValue(int column) const override;
    QByteArrayView utf8(int column) const override;

private:
    sqlite3_stmt* stmt_;
    std::vector<bool> dateColumns_;
    qint64 changes_ = 0;
};
