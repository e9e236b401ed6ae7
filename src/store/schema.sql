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

-- Tables added after the first release. Opening a ledger from before them adds them, so each
-- is written to be made again harmlessly.

-- Entries that come back on a schedule. Dates as above; unit 1 days, 2 weeks, 3 months, 4 years;
-- monthday 1..31, or 0 for the month's last day; endkind 0 never, 1 on enddate, 2 after endcount.
CREATE TABLE IF NOT EXISTS tblRepeat (
    id            INTEGER PRIMARY KEY AUTOINCREMENT,
    reason        TEXT,
    fromcompany   TEXT,
    tocompany     TEXT,
    amount        REAL,
    paymentmethod TEXT,
    notes         TEXT,
    paymenttype   INTEGER,
    unit          INTEGER NOT NULL,
    every         INTEGER NOT NULL,
    monthday      INTEGER NOT NULL,
    startdate     DATE NOT NULL,
    endkind       INTEGER NOT NULL,
    enddate       DATE,
    endcount      INTEGER,
    paused        INTEGER NOT NULL
);

-- Each occurrence of a rule that was dealt with: the entry posted for it, or NULL when it was
-- skipped. The key lets one occurrence be dealt with once, whichever process comes first.
CREATE TABLE IF NOT EXISTS tblRepeatPosted (
    ruleid   INTEGER NOT NULL,
    occurred DATE NOT NULL,
    entryid  INTEGER,
    PRIMARY KEY (ruleid, occurred)
);
