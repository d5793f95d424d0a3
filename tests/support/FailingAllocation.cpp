#include "FailingAllocation.h"

#include <cstdint>
#include <cstdlib>
#include <new>

std::size_t k4xtest::g_failFrom = SIZE_MAX;

void* operator new(std::size_t size)
{
    void* memory = size < k4xtest::g_failFrom ? std::malloc(size == 0 ? 1 : size) : nullptr;
    return memory != nullptr ? memory : throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }  // the array forms call these
