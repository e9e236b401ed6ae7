#pragma once

#include "importing/importfile.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

struct zip;

// A workbook's zip archive, read from memory.
class XlsxArchive
{
public:
    // Throws Failure, naming the file as `shownName`, when the bytes are no zip archive.
    XlsxArchive(QByteArray bytes, const QString& shownName);

    // The bytes of the file inside named `name` (in any case), nothing when there is none. Throws
    // Failure when it is encrypted, damaged or would unpack to more than `limit` bytes.
    std::optional<QByteArray> file(const QString& name, qint64 limit = importSizeLimit) const;

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
