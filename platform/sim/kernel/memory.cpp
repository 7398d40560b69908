// Global memory of the simulated kernel. A fixed block's handle is its address; a moveable block's
// handle names a record holding its address and lock count. An unlocked moveable block moves on every
// reallocation, so a program that kept a pointer across GlobalReAlloc touches freed memory, which the
// sanitizers report.
#include "platform/sim/kernel/global_memory.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/win/windows.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

namespace {

struct Block {
    char* data = nullptr;
    SIZE_T size = 0;
    bool moveable = false;
    bool discardable = false;
    bool discarded = false;
    unsigned locks = 0;
};

// Far more than a Windows 95 program could get; larger requests fail as out of memory.
constexpr SIZE_T kLargestBlock = SIZE_T{256} << 20;
// Fresh memory that the caller did not ask to be zeroed holds this, so code that relies on zeros shows.
constexpr unsigned char kFreshByte = 0xCD;

std::map<HGLOBAL, std::unique_ptr<Block>>& blocks() {
    static std::map<HGLOBAL, std::unique_ptr<Block>> b;
    return b;
}

long allocations = 0;

Block* find(HGLOBAL h) {
    auto it = blocks().find(h);
    return it == blocks().end() ? nullptr : it->second.get();
}

// Counts one allocation; false when the machine's fail-alloc injection makes it fail.
bool allocation_allowed() {
    ++allocations;
    long after = sim::machine().settings.fail_alloc_after;
    return after <= 0 || allocations < after;
}

// New memory of SIZE bytes, or nullptr with the error set. Only COUNTED requests take part in the
// fail-alloc injection: a block that shrinks never fails for want of memory.
char* new_memory(SIZE_T size, bool zero, bool counted = true) {
    if ((counted && !allocation_allowed()) || size > kLargestBlock) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto* p = static_cast<char*>(std::malloc(size ? size : 1));
    if (!p) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::memset(p, zero ? 0 : kFreshByte, size);
    return p;
}

// Moves the block's contents to new memory of SIZE bytes; false with the error set when none is left.
bool move_block(Block& b, SIZE_T size, bool zero) {
    char* p = new_memory(size, zero, size > b.size);
    if (!p) return false;
    if (b.data) std::memcpy(p, b.data, std::min(size, b.size));
    std::free(b.data);
    b.data = p;
    b.size = size;
    b.discarded = false;
    return true;
}

HGLOBAL invalid_handle() {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

HGLOBAL out_of_memory() {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

HGLOBAL modify_flags(HGLOBAL h, Block& b, UINT flags) {
    if (b.moveable) {
        b.discardable = (flags & GMEM_DISCARDABLE) != 0;
        return h;
    }
    if (!(flags & GMEM_MOVEABLE)) return h;
    // A fixed block turned moveable keeps its memory and gets a moveable handle.
    auto moved = std::move(blocks()[h]);
    blocks().erase(h);
    moved->moveable = true;
    moved->discardable = (flags & GMEM_DISCARDABLE) != 0;
    HGLOBAL nh = moved.get();
    blocks()[nh] = std::move(moved);
    return nh;
}

HGLOBAL resize_moveable(HGLOBAL h, Block& b, SIZE_T size, UINT flags) {
    if (size == 0) {
        if (b.locks) return out_of_memory(); // a locked block cannot be discarded
        std::free(b.data);
        b.data = nullptr;
        b.size = 0;
        b.discarded = true;
        return h;
    }
    bool may_move = b.locks == 0 || (flags & GMEM_MOVEABLE);
    if (!may_move) {
        if (size > b.size) return out_of_memory();
        b.size = size;
        return h;
    }
    return move_block(b, size, flags & GMEM_ZEROINIT) ? h : nullptr;
}

HGLOBAL resize_fixed(HGLOBAL h, Block& b, SIZE_T size, UINT flags) {
    if (size <= b.size) {
        b.size = size;
        return h;
    }
    if (!(flags & GMEM_MOVEABLE)) return out_of_memory();
    auto owned = std::move(blocks()[h]);
    blocks().erase(h);
    bool ok = move_block(*owned, size, flags & GMEM_ZEROINIT);
    HGLOBAL nh = owned->data;
    blocks()[nh] = std::move(owned);
    return ok ? nh : nullptr;
}

} // namespace

namespace sim {

std::size_t global_blocks_in_use() {
    return blocks().size();
}
long global_allocations_made() {
    return allocations;
}

void free_all_global_memory() {
    for (auto& [h, b] : blocks())
        std::free(b->data);
    blocks().clear();
    allocations = 0;
}

} // namespace sim

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) {
    auto b = std::make_unique<Block>();
    b->moveable = (flags & GMEM_MOVEABLE) != 0;
    b->discardable = b->moveable && (flags & GMEM_DISCARDABLE);
    if (b->moveable && bytes == 0) {
        // A moveable block of no bytes starts out discarded.
        if (!allocation_allowed()) return out_of_memory();
        b->discarded = true;
    } else {
        b->data = new_memory(bytes, flags & GMEM_ZEROINIT);
        if (!b->data) return nullptr;
        b->size = bytes;
    }
    HGLOBAL h = b->moveable ? static_cast<HGLOBAL>(b.get()) : static_cast<HGLOBAL>(b->data);
    blocks()[h] = std::move(b);
    return h;
}

HGLOBAL WINAPI GlobalReAlloc(HGLOBAL h, SIZE_T bytes, UINT flags) {
    Block* b = find(h);
    if (!b) return invalid_handle();
    if (flags & GMEM_MODIFY) return modify_flags(h, *b, flags);
    if (bytes > kLargestBlock) return out_of_memory();
    return b->moveable ? resize_moveable(h, *b, bytes, flags) : resize_fixed(h, *b, bytes, flags);
}

// Frees the block whatever its lock count, as Win32 does.
HGLOBAL WINAPI GlobalFree(HGLOBAL h) {
    if (!h) return nullptr;
    auto it = blocks().find(h);
    if (it == blocks().end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return h;
    }
    std::free(it->second->data);
    blocks().erase(it);
    return nullptr;
}

LPVOID WINAPI GlobalLock(HGLOBAL h) {
    Block* b = find(h);
    if (!b) return invalid_handle();
    if (!b->moveable) return b->data;
    if (b->discarded) {
        SetLastError(ERROR_DISCARDED);
        return nullptr;
    }
    if (b->locks < GMEM_LOCKCOUNT) ++b->locks;
    return b->data;
}

BOOL WINAPI GlobalUnlock(HGLOBAL h) {
    Block* b = find(h);
    if (!b) return invalid_handle(), FALSE;
    if (!b->moveable) return TRUE;
    if (b->locks == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    if (--b->locks) return TRUE;
    SetLastError(NO_ERROR);
    return FALSE;
}

UINT WINAPI GlobalFlags(HGLOBAL h) {
    Block* b = find(h);
    if (!b) return invalid_handle(), GMEM_INVALID_HANDLE;
    return b->locks | (b->discardable ? GMEM_DISCARDABLE : 0) | (b->discarded ? GMEM_DISCARDED : 0);
}

SIZE_T WINAPI GlobalSize(HGLOBAL h) {
    Block* b = find(h);
    if (!b) return invalid_handle(), 0;
    return b->size;
}

HGLOBAL WINAPI GlobalHandle(LPCVOID p) {
    if (!p) return invalid_handle();
    if (Block* b = find(const_cast<LPVOID>(p)); b && !b->moveable) return const_cast<LPVOID>(p);
    for (const auto& [h, b] : blocks())
        if (b->data == p) return h;
    return invalid_handle();
}
