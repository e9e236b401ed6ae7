-- The empty template ledger, copied into the data folder on first start.
-- Dates are ISO 'YYYY-MM-DD' texts; ids are never reused (AUTOINCREMENT).
CREATE TABLE tblData (
    id            INTEGER PRIMARY KEY AUTOINCREMENT,
    datercvd      DATE,
    reason        TEXT,
    fromcompany   TEXT,
    tocompany     TEXT,
    amount        REAL,
    paymentmethod TEXT,
    notes         TEXT,
    paymenttype   INTEGER
);

-- Scratch rows for the printed report; emptied at every run.
CREATE TABLE tblReport (
    [Date]   DATE,
    ValueIn  REAL,
    ValueOut REAL,
    Payer    TEXT,
    Payee    TEXT
);
