#pragma once

#include <cstddef>

// While an object lives, every allocation through operator new of more than the given bytes
// fails with std::bad_alloc, as on a machine that has no more memory to give. Allocations of
// the C library (malloc, Qt's containers) are not limited. Test support only.
class ScopedAllocationLimit {
public:
    explicit ScopedAllocationLimit(std::size_t bytes);
    ~ScopedAllocationLimit();
    ScopedAllocationLimit(const ScopedAllocationLimit&) = delete;
    ScopedAllocationLimit& operator=(const ScopedAllocationLimit&) = delete;
};
