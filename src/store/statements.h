#pragma once

#include "store/entry.h"

#include <QDate>
#include <QString>

// #MM/DD/YYYY#, month first whatever the regional order.
QString FormatSqlDate(QDate date);

// 'text' with every apostrophe doubled.
QString quoteText(QStringView text);

QString selectAllEntries();                                 // S1
QString selectEntry(const QString& id);                     // S2
QString insertEntry(const Entry& entry);                    // S3, from the entry window
QString insertCopy(const Entry& entry);                     // S4, Duplicate Selected
QString updateEntry(const Entry& entry, const QString& id); // S5
QString deleteEntry(const QString& id);                     // S6
// How many entries there are, for the progress of commands that read them all.
QString countEntries();

// The printed report's scratch table.
QString clearReport();
QString selectReport();
QString insertReportReceived(QDate date, const QString& amountText, const QString& payer, const QString& payee);
QString insertReportPaid(QDate date, const QString& amountText, const QString& payer, const QString& payee);
