#include "zipmutation.h"

#include <optional>
#include <string>
#include <vector>
#include <zip.h>

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

// Larger files are left to the plain mutator: a few bytes of input can unpack to far more.
constexpr zip_uint64_t fileLimit = 1024 * 1024;
// Room a mutation may grow a file by.
constexpr size_t growth = 1024;

struct ZipFile
{
    std::string name;
    std::vector<uint8_t> bytes;
};

// An archive opened on `source`, which it takes; nothing, with `source` freed, when it does not open.
zip_t* openArchive(zip_source_t* source, int flags)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_t* archive = zip_open_from_source(source, flags, &error);
    zip_error_fini(&error);
    if (!archive)
        zip_source_free(source);
    return archive;
}

std::optional<std::vector<ZipFile>> unpack(const uint8_t* data, size_t size)
{
    zip_source_t* source = zip_source_buffer_create(data, size, 0, nullptr);
    zip_t* archive = source ? openArchive(source, ZIP_RDONLY) : nullptr;
    if (!archive)
        return std::nullopt;
    std::vector<ZipFile> files;
    bool whole = true;
    for (zip_uint64_t i = 0, count = zip_uint64_t(zip_get_num_entries(archive, 0)); whole && i < count; ++i) {
        zip_stat_t stat;
        zip_file_t* file =
            zip_stat_index(archive, i, 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) && stat.size <= fileLimit
                ? zip_fopen_index(archive, i, 0)
                : nullptr;
        if (!file)
            break;
        ZipFile& unpacked = files.emplace_back(ZipFile{stat.name, std::vector<uint8_t>(stat.size)});
        whole = zip_fread(file, unpacked.bytes.data(), stat.size) == zip_int64_t(stat.size);
        zip_fclose(file);
    }
    whole = whole && files.size() == size_t(zip_get_num_entries(archive, 0));
    zip_discard(archive);
    return whole ? std::optional(std::move(files)) : std::nullopt;
}

size_t pack(const std::vector<ZipFile>& files, uint8_t* data, size_t maxSize)
{
    zip_source_t* source = zip_source_buffer_create(nullptr, 0, 0, nullptr);
    zip_t* archive = source ? openArchive(source, ZIP_TRUNCATE) : nullptr;
    if (!archive)
        return 0;
    // Kept past zip_close(), which writes the archive into it.
    zip_source_keep(source);
    for (const ZipFile& file : files) {
        zip_source_t* bytes = zip_source_buffer(archive, file.bytes.data(), file.bytes.size(), 0);
        if (bytes && zip_file_add(archive, file.name.c_str(), bytes, 0) < 0)
            zip_source_free(bytes);
    }
    size_t packed = 0;
    zip_stat_t stat;
    if (zip_close(archive) != 0)
        zip_discard(archive);
    else if (zip_source_stat(source, &stat) == 0 && stat.size <= maxSize && zip_source_open(source) == 0) {
        if (zip_source_read(source, data, stat.size) == zip_int64_t(stat.size))
            packed = stat.size;
        zip_source_close(source);
    }
    zip_source_free(source);
    return packed;
}

} // namespace

size_t mutateInsideZip(uint8_t* data, size_t size, size_t maxSize, unsigned seed)
{
    auto files = unpack(data, size);
    if (!files || files->empty())
        return 0;
    std::vector<uint8_t>& bytes = (*files)[seed % files->size()].bytes;
    const size_t before = bytes.size();
    bytes.resize(before + growth);
    bytes.resize(LLVMFuzzerMutate(bytes.data(), before, bytes.size()));
    return pack(*files, data, maxSize);
}
