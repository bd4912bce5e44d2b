#include "engine/realFft.h"

#include <cstdint>
#include <cstring>
#include <fftw3.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// Each block is preceded by a header of this size saying how it was obtained; it keeps the
// SIMD alignment FFTW wants.
constexpr std::size_t HeaderBytes = 64;
// From this size on a block is mapped: the heap would keep such blocks after they are freed
// (its threshold for mapping rises with every large block freed) and each worker thread has a
// heap of its own.
constexpr std::size_t MappedFrom = std::size_t(1) << 20;

struct BlockHeader {
    std::size_t mappedBytes; // 0 for a block from the heap
};

void* allocateBlock(std::size_t bytes)
{
    if (bytes > SIZE_MAX / 2)
        return nullptr;
    if (bytes < MappedFrom) {
        auto* block = static_cast<std::uint8_t*>(fftwf_malloc(bytes + HeaderBytes));
        if (!block)
            return nullptr;
        const BlockHeader header {0};
        std::memcpy(block, &header, sizeof header);
        return block + HeaderBytes;
    }
    const std::size_t page = std::size_t(::sysconf(_SC_PAGESIZE));
    const std::size_t length = (bytes + page - 1) / page * page + page;
    void* mapping
        = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED)
        return nullptr;
    // The first page holds the header at its end; the block starts on the second.
    auto* block = static_cast<std::uint8_t*>(mapping) + page;
    const BlockHeader header {length};
    std::memcpy(block - HeaderBytes, &header, sizeof header);
    return block;
}

} // namespace

float* allocateFftFloats(std::size_t count)
{
    if (count > SIZE_MAX / sizeof(float))
        return nullptr;
    return static_cast<float*>(allocateBlock(count * sizeof(float)));
}

SpectrumValue* allocateSpectrum(std::size_t count)
{
    if (count > SIZE_MAX / sizeof(SpectrumValue))
        return nullptr;
    return static_cast<SpectrumValue*>(allocateBlock(count * sizeof(SpectrumValue)));
}

void freeFftMemory(void* block)
{
    if (!block)
        return;
    auto* start = static_cast<std::uint8_t*>(block);
    BlockHeader header {};
    std::memcpy(&header, start - HeaderBytes, sizeof header);
    if (header.mappedBytes == 0) {
        fftwf_free(start - HeaderBytes);
        return;
    }
    const std::size_t page = std::size_t(::sysconf(_SC_PAGESIZE));
    ::munmap(start - page, header.mappedBytes);
}
