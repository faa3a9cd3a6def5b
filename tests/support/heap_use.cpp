// The test program's operator new and delete: malloc and free, counted on a thread while
// HeapUseOf runs there. The other forms of new and delete (arrays, nothrow, sized) call these.
#include "tests/support/heap_use.h"

#include <cstdlib>
#include <new>

namespace {

thread_local HeapUse* counted = nullptr;

}  // namespace

HeapUse HeapUseOf(const std::function<void()>& work) {
    HeapUse use;
    struct Restore {
        HeapUse* outer;
        ~Restore() { counted = outer; }
    } restore{counted};
    counted = &use;
    work();
    return use;
}

void* operator new(std::size_t size) {
    if (counted != nullptr) {
        counted->bytes += size;
        ++counted->calls;
    }
    for (;;) {
        if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
        std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) throw std::bad_alloc();
        handler();
    }
}

void operator delete(void* block) noexcept { std::free(block); }

void operator delete(void* block, std::size_t) noexcept { std::free(block); }
