#include "AllocationLimit.h"

#include <atomic>
#include <cstdlib>
#include <new>

// The program's operator new and delete while this object file is linked in (it is, by any
// test that uses the limit): plain malloc and free, failing above the limit.
namespace {

std::atomic<std::size_t> g_limit{0};

void* Allocate(std::size_t size)
{
    const std::size_t limit = g_limit.load(std::memory_order_relaxed);
    if (limit != 0 && size > limit)
        throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

} // namespace

ScopedAllocationLimit::ScopedAllocationLimit(std::size_t bytes) { g_limit.store(bytes); }

ScopedAllocationLimit::~ScopedAllocationLimit() { g_limit.store(0); }

void* operator new(std::size_t size) { return Allocate(size); }

void* operator new[](std::size_t size) { return Allocate(size); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void operator delete(void* p) noexcept { std::free(p); }

void operator delete[](void* p) noexcept { std::free(p); }

void operator delete(void* p, std::size_t) noexcept { std::free(p); }

void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
