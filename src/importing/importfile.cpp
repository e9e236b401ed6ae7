#include "importing/importfile.h"

#include "base/failure.h"
#include "base/regularfile.h"

#include <QDir>
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
    // A pipe named like a statement would hold the window until something writes to it, a device
    // may never end.
    if (const QString why = whyNotARegularFile(path); !why.isEmpty())
        throw Failure(u"The file '%1' cannot be read: %2."_s.arg(shown, why));
    const QString tooLarge = u"The file '%1' is larger than 256 MB, more than can be imported."_s.arg(shown);
    ensure(QFileInfo(path).size() <= importSizeLimit, tooLarge);
    // A byte beyond the limit tells a file that grew since.
    const std::optional<QByteArray> bytes = readRegularFile(path, importSizeLimit + 1);
    ensure(bytes.has_value(), u"The file '%1' cannot be read."_s.arg(shown));
    ensure(bytes->size() <= importSizeLimit, tooLarge);
    return *bytes;
}
