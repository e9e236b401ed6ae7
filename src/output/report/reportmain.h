#pragma once

#include "output/report/reportdesign.h"

// The ledger report's design: column titles on every page, one line per staging row, and
// the totals with the balance once at the end.
//
//   Section4   report header (empty)
//   Section2   page header: Label2 Date, Label3 Received, Label4 Paid, Label6 From, Label7 To
//   Section1   detail: Text1 Date, Text2 ValueIN, Text7 ValueOUT, Text4 Payer, Text5 Payee
//   Section3   page footer (empty)
//   Section5   report footer: Line1, Label8..Label10, Function1/Function2 sums, lblBalance
//
// The money format of Text2, Text7, Function1 and Function2 and the caption of lblBalance are
// set by the command that runs the report.
ReportDesign rptMain();
