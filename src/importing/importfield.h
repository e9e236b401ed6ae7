#pragma once

#include <QString>

// What a column of the file holds for the ledger. A counterparty column names the payer of money
// received and the payee of money paid out, as bank statements keep both in one column.
enum class ImportField { Ignore, Date, Amount, In, Out, Reason, From, To, Method, Notes, Direction, Counterparty };

// The name shown in the column's choice: "(ignore)", "Date", "Amount (signed)", "In", "Out", ...,
// "In/Out" for the direction and "From or To" for a counterparty.
QString importFieldName(ImportField field);
