#pragma once

#include <QDate>
#include <QString>
#include <memory>

class Connection;
class EngineStatement;
class Recordset;

// Writes the printed report's staging rows, the rows insertReportReceived and insertReportPaid
// describe, and reads them back. The values are bound to one compiled insert instead of being written into a statement
// text and read back out of it for every entry; a row the text form would refuse (a missing date,
// say) still goes through the text form, so it fails with the same message.
class ReportStaging
{
public:
    explicit ReportStaging(Connection& connection);
    ~ReportStaging();
    ReportStaging(const ReportStaging&) = delete;
    ReportStaging& operator=(const ReportStaging&) = delete;

    // Empties the staging table: old rows would be printed and summed with the new ones.
    static void clear(Connection& connection);

    void addReceived(QDate date, double amount, const QString& payer, const QString& payee);
    void addPaid(QDate date, double amount, const QString& payer, const QString& payee);
    // Opens `rows` on every staged row.
    void readBack(Recordset& rows);

private:
    using TextForm = QString (*)(QDate, const QString&, const QString&, const QString&);
    void add(TextForm form, QDate date, double valueIn, double valueOut, const QString& payer, const QString& payee);

    Connection& connection_;
    std::unique_ptr<EngineStatement> insert_;
};
