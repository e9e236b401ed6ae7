#pragma once

class QCursor;
class QString;

// Reads a Windows cursor file (.cur): the picture of its first entry and that entry's hotspot.
// Throws Failure, naming the file, when it is not a cursor that can be read.
QCursor loadCursorFile(const QString& path);
