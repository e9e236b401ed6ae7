#include "importing/importfile.h"

#include "base/failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

std::optional<ImportFormat> importFormatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"csv" || suffix == u"tsv" || suffix == u"txt")
        return ImportFormat::Csv;
    if (suffix == u"xlsx")
        return ImportFormat::Xlsx;
    return std::nullopt;
}

QByteArray readImportBytes(const QString& path)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    const auto unreadable = [&] {
        return Failure(u"The file '%1' cannot be read: %2."_s.arg(shown, file.errorString()));
    };
    if (!file.open(QIODevice::ReadOnly))
        throw unreadable();
    ensure(file.size() <= importSizeLimit,
           u"The file '%1' is larger than 256 MB, more than can be imported."_s.arg(shown));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw unreadable();
    return bytes;
}
