#pragma once

#include <QFile>
#include <QString>

// The per-user data folder stands in for the shared application-data folder (CSIDL 35);
// any other folder number gives the empty text.
QString SpecialFolderPath(int csidl);

// True when the path's last-modified time can be read; never throws.
bool FileExists(const QString& path);

// Folders count as present too.
bool pathExists(const QString& path);

// Creates one folder, private to the user (0700).
void makeFolder(const QString& path);

// Copies the template ledger; never replaces an existing file. The copy is private (0600).
void copyLedgerTemplate(const QString& from, const QString& to);

// Narrows the rights of an existing file or folder of the user's to `permissions`; never throws.
void keepPrivate(const QString& path, QFile::Permissions permissions);

// The folder of the running program, without a trailing separator.
QString programFolder();

QString vendorFolder();
QString dataFolder();
QString databaseFile();
QString templateDatabase();
QString handCursorFile();
QString skinFile();

// Points the program folder elsewhere for its lifetime (tests).
class ScopedProgramFolder
{
public:
    explicit ScopedProgramFolder(const QString& folder);
    ~ScopedProgramFolder();
    ScopedProgramFolder(const ScopedProgramFolder&) = delete;
    ScopedProgramFolder& operator=(const ScopedProgramFolder&) = delete;

private:
    QString previous_;
};
