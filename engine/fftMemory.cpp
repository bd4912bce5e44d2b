#include "engine/realFft.h"

#include <cstdint>
#include <cstring>
#include <fftw3.h>
#include <sys/mman.h>

namespace {

// Each block is preceded by a header of this size saying how it was obtained; it keeps the
// SIMD alignment FFTW wants.
constexpr std::size_t HeaderBytes = 64;
// From this size on a block is mapped: the heap would keep such blocks after they are freed
// (its threshold for mapping rises with every large block freed) and each worker thread has a
// heap of its own.
constexpr std::size_t MappedFrom = std::size_t(1) << 20;

// Mapped blocks start on a huge-page boundary and ask for huge pages: a canvas then takes a few
// page faults instead of thousands, and the transforms' strided passes miss the TLB far less.
constexpr std::size_t HugePage = std::size_t(2) << 20;

struct BlockHeader {
    void* mapping; // null for a block from the heap
    std::size_t mappedBytes;
};

void* allocateBlock(std::size_t bytes)
{
    if (bytes > SIZE_MAX / 2)
        return nullptr;
    if (bytes < MappedFrom) {
        auto* block = static_cast<std::uint8_t*>(fftwf_malloc(bytes + HeaderBytes));
        if (!block)
            return nullptr;
        const BlockHeader header {nullptr, 0};
        std::memcpy(block, &header, sizeof header);
        return block + HeaderBytes;
    }
    const std::size_t rounded = (bytes + HugePage - 1) / HugePage * HugePage;
    const std::size_t length = rounded + HugePage; // room for the header and the alignment
    void* mapping
        = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED)
        return nullptr;
    const auto address = reinterpret_cast<std::uintptr_t>(mapping) + HeaderBytes;
    auto* block = reinterpret_cast<std::uint8_t*>((address + HugePage - 1) / HugePage * HugePage);
    (void)::madvise(block, rounded, MADV_HUGEPAGE); // a hint; ordinary pages otherwise
    const BlockHeader header {mapping, length};
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
    if (header.mapping)
        ::munmap(header.mapping, header.mappedBytes);
    else
        fftwf_free(start - HeaderBytes);
}
