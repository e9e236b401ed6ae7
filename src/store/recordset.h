#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class Connection;
class EngineStatement;

inline constexpr int adOpenStatic = 3;
inline constexpr int adLockReadOnly = 1;

// A forward reader over one statement's rows; fields are found by name without regard to case.
class Recordset
{
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    void open(const QString& statement, Connection& connection, int cursorType = adOpenStatic,
              int lockType = adLockReadOnly);
    bool eof() const;
    void moveNext();
    void close();

    // By name: integers as qlonglong, reals as double, DATE columns as QDate, texts as QString, NULL invalid.
    QVariant field(QStringView name) const;

    // The fast path for readers of many rows: look the column up once, read it per row.
    int fieldIndex(QStringView name) const;
    // The column's index, or -1 when the result has no column of that name.
    int findField(QStringView name) const;
    QVariant value(int index) const;
    double doubleValue(int index) const;
    qint64 intValue(int index) const;
    QByteArrayView utf8Value(int index) const;
    QString textValue(int index) const;
    QDate dateValue(int index) const;
    bool isNull(int index) const;

private:
    void requireRow() const;
    void step();

    std::unique_ptr<EngineStatement> rows_;
    std::vector<QString> names_;
    bool eof_ = true;
};
