#pragma once

#include "importing/importfile.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

struct zip;
struct zip_file;

// One file inside a workbook's archive, unpacked a piece at a time as it is read, so that only the
// piece being read takes memory. Reads from the archive that opened it, which must outlive it.
class XlsxMember
{
public:
    // The next piece, empty once the file has been read whole. Throws Failure when the file is damaged
    // or unpacks to more than the limit it was opened with.
    QByteArray read();

private:
    friend class XlsxArchive;
    XlsxMember(zip_file* file, qint64 limit, const QString& shownName);

    struct Close
    {
        void operator()(zip_file* file) const;
    };

    std::unique_ptr<zip_file, Close> file_;
    qint64 limit_;
    qint64 unpacked_ = 0;
    QString shownName_;
};

// A workbook's zip archive, read from memory.
class XlsxArchive
{
public:
    // Throws Failure, naming the file as `shownName`, when the bytes are no zip archive.
    XlsxArchive(QByteArray bytes, const QString& shownName);

    // The file inside named `name` (in any case), to be read piece by piece; nothing when there is none.
    // Throws Failure when it is encrypted or damaged, or says it unpacks to more than `limit` bytes.
    std::optional<XlsxMember> open(const QString& name, qint64 limit = importSizeLimit) const;

    // The file as the messages name it.
    const QString& shownName() const { return shownName_; }

private:
    struct Discard
    {
        void operator()(zip* archive) const;
    };

    QByteArray bytes_;
    QString shownName_;
    std::unique_ptr<zip, Discard> archive_;
};
