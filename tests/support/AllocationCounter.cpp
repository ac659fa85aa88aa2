#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};

void* counted(std::size_t n)
{
    if (g_counting.load(std::memory_order_relaxed)) g_allocations.fetch_add(1);
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    return p;
}
}  // namespace

void* operator new(std::size_t n) { return counted(n); }
void* operator new[](std::size_t n) { return counted(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace testing_support {

AllocationWindow::AllocationWindow()
{
    g_allocations = 0;
    g_counting = true;
}

AllocationWindow::~AllocationWindow() { g_counting = false; }

long AllocationWindow::count() const { return g_allocations.load(); }

}  // namespace testing_support
