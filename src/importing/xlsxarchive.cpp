#include "importing/xlsxarchive.h"

#include "base/failure.h"

#include <QFile>
#include <zip.h>

using namespace Qt::StringLiterals;

namespace {

// Password-protected workbooks and those of Excel 97-2003 are compound files, not zip archives.
constexpr QByteArrayView compoundFileMark("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");

constexpr qint64 readChunk = 64 * 1024;

QString notAWorkbook(const QString& shownName)
{
    return u"The file '%1' is not an Excel workbook (.xlsx)."_s.arg(shownName);
}

Failure damaged(const QString& shownName, zip_error_t* error)
{
    return Failure(u"The workbook '%1' is damaged: %2."_s.arg(shownName, QString::fromUtf8(zip_error_strerror(error))));
}

Failure tooLarge(const QString& shownName, qint64 limit)
{
    return Failure(u"The workbook '%1' unpacks to more than %2 MB, more than can be imported."_s.arg(
        shownName, QString::number(limit / (1024 * 1024))));
}

} // namespace

void XlsxMember::Close::operator()(zip_file* file) const
{
    zip_fclose(file);
}

XlsxMember::XlsxMember(zip_file* file, qint64 limit, const QString& shownName)
    : file_(file), limit_(limit), shownName_(shownName)
{
}

QByteArray XlsxMember::read()
{
    QByteArray piece(readChunk, Qt::Uninitialized);
    const zip_int64_t read = zip_fread(file_.get(), piece.data(), zip_uint64_t(piece.size()));
    if (read < 0)
        throw damaged(shownName_, zip_file_get_error(file_.get()));
    // The stated size may lie: the reading stops at the limit all the same.
    unpacked_ += read;
    if (unpacked_ > limit_)
        throw tooLarge(shownName_, limit_);
    piece.truncate(qsizetype(read));
    return piece;
}

void XlsxArchive::Discard::operator()(zip* archive) const
{
    zip_discard(archive);
}

XlsxArchive::XlsxArchive(QByteArray bytes, const QString& shownName) : bytes_(std::move(bytes)), shownName_(shownName)
{
    ensure(!bytes_.startsWith(compoundFileMark),
           u"The file '%1' is protected by a password or is an old Excel workbook (.xls). Save it in Excel "
           "as an Excel workbook (.xlsx) without a password, then import that."_s.arg(shownName_));
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes_.constData(), zip_uint64_t(bytes_.size()), 0, &error);
    zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    zip_error_fini(&error);
    if (!archive) {
        // The archive takes the source only when it opens.
        if (source)
            zip_source_free(source);
        throw Failure(notAWorkbook(shownName_));
    }
    archive_.reset(archive);
}

std::optional<XlsxMember> XlsxArchive::open(const QString& name, qint64 limit) const
{
    const zip_int64_t index = zip_name_locate(archive_.get(), QFile::encodeName(name).constData(), ZIP_FL_NOCASE);
    if (index < 0)
        return std::nullopt;
    zip_stat_t stat;
    if (zip_stat_index(archive_.get(), zip_uint64_t(index), 0, &stat) != 0)
        throw damaged(shownName_, zip_get_error(archive_.get()));
    ensure(!(stat.valid & ZIP_STAT_ENCRYPTION_METHOD) || stat.encryption_method == ZIP_EM_NONE,
           u"The workbook '%1' is encrypted."_s.arg(shownName_));
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > zip_uint64_t(limit))
        throw tooLarge(shownName_, limit);
    zip_file_t* file = zip_fopen_index(archive_.get(), zip_uint64_t(index), 0);
    if (!file)
        throw damaged(shownName_, zip_get_error(archive_.get()));
    return XlsxMember(file, limit, shownName_);
}
