#include "hostSide/hostMemory.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// `pointer` comes first: a Handle is the address of this field.
struct HostBlock {
    char* pointer;
    std::size_t size;
    int locks;
};

HandleCounts counts {};

HostBlock* blockOf(Handle handle)
{
    return reinterpret_cast<HostBlock*>(handle);
}

Handle newHandle(int32 size)
{
    if (size < 0)
        return nullptr;
    auto* block = new (std::nothrow) HostBlock {nullptr, std::size_t(size), 0};
    if (!block)
        return nullptr;
    block->pointer = static_cast<char*>(std::calloc(size > 0 ? std::size_t(size) : 1, 1));
    if (!block->pointer) {
        delete block;
        return nullptr;
    }
    ++counts.live;
    return &block->pointer;
}

void disposeHandle(Handle handle)
{
    if (!handle)
        return;
    HostBlock* block = blockOf(handle);
    if (block->locks > 0)
        --counts.locked;
    std::free(block->pointer);
    delete block;
    --counts.live;
}

Ptr lockHandle(Handle handle, Boolean)
{
    ++counts.lockCalls;
    if (!handle)
        return nullptr;
    HostBlock* block = blockOf(handle);
    if (block->locks++ == 0)
        ++counts.locked;
    return block->pointer;
}

void unlockHandle(Handle handle)
{
    ++counts.unlockCalls;
    if (!handle)
        return;
    HostBlock* block = blockOf(handle);
    if (block->locks > 0 && --block->locks == 0)
        --counts.locked;
}

} // namespace

HandleProcs hostHandleProcs {newHandle, disposeHandle, lockHandle, unlockHandle};

HandleCounts handleCounts()
{
    return counts;
}

char* handleContents(Handle handle)
{
    return handle ? blockOf(handle)->pointer : nullptr;
}

std::size_t handleSize(Handle handle)
{
    return handle ? blockOf(handle)->size : 0;
}

Handle newHandleWith(const std::vector<char>& bytes)
{
    const Handle handle = newHandle(int32(bytes.size()));
    if (handle && !bytes.empty())
        std::memcpy(*handle, bytes.data(), bytes.size());
    return handle;
}
