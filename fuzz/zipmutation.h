#pragma once

#include <cstddef>
#include <cstdint>

// Mutating a workbook's bytes mostly breaks its archive's checksums, and reading stops there. This
// mutates one file inside the zip archive in `data` with libFuzzer's own mutator and packs the archive
// again, so that the fuzzer reaches what reads the files. Returns the archive's new size, at most
// `maxSize`; 0, with `data` untouched, when it is no archive that can be packed again within that.
size_t mutateInsideZip(uint8_t* data, size_t size, size_t maxSize, unsigned seed);
