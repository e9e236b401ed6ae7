#pragma once

#include <QString>

// The child process: opens the ledger under `dataRoot` as the program does, prints "ready", then
// saves `count` entries with S3, printing each entry's marker only after execute() has returned.
// Between two saves it pauses `pauseMs`, as a person or a program working along would.
// Last it prints the longest single save, in milliseconds, after `longestSaveTag`.
// Returns the exit code: 0 when all were saved, 2 on the first store failure (reported on stderr).
int runLedgerWriter(const QString& dataRoot, const QString& prefix, int count, int pauseMs = 0);

inline constexpr char longestSaveTag[] = "longest save ms ";

// The marker the writer puts in the notes of its n-th entry.
QString entryMarker(const QString& prefix, int n);

// Writes one line to standard output unbuffered, so a line that was written is in the pipe whatever
// kills the process next.
void say(const QString& line);
