#pragma once

#include "store/engine.h"
#include "store/serverlink.h"

#include <deque>
#include <optional>
#include <vector>

// A statement on a server ledger: its text holds $n parameters, sent beside it on every run. Its rows
// arrive one by one as they are read, so a long list is never held twice; the current row's values
// stay put until the next.
class ServerQuery final : public EngineStatement, private ArrivingRows
{
public:
    ServerQuery(PGconn* link, QByteArray text, int parameters);
    ~ServerQuery();
    ServerQuery(const ServerQuery&) = delete;
    ServerQuery& operator=(const ServerQuery&) = delete;

    // Runs the statement now, unless it ran already; a statement not yet run has no columns.
    void start();

    void bindInt(int index, qint64 value) override;
    void bindDouble(int index, double value) override;
    void bindText(int index, QStringView value) override;
    void bindDate(int index, QDate value) override;
    bool next() override;
    qint64 changes() const override { return changes_; }
    void reset() override;
    int columnCount() const override;
    QString columnName(int column) const override;
    bool dateColumn(int column) const override;
    ColumnKind kind(int column) const override;
    qint64 intValue(int column) const override;
    double doubleValue(int column) const override;
    QByteArrayView utf8(int column) const override;

private:
    // Parameters left unbound are sent as NULL, as the ledger file's engine takes them.
    struct Parameter
    {
        std::optional<QByteArray> value;
        Oid type = 0;
    };

    void bind(int index, QByteArray value, Oid type);
    void send();
    // The next part of the rows: one row, or the statement's end.
    ServerResult receive();
    bool moreToCome() const { return arriving_ || !taken_.empty(); }
    void takeTheRest() override;
    void dropTheRest();

    PGconn* link_;
    QByteArray text_;
    std::vector<Parameter> parameters_;
    bool arriving_ = false;
    std::deque<ServerResult> taken_;
    ServerResult result_;
    int row_ = -1;
    qint64 changes_ = 0;
};
