// What a piece of work asks of the heap, counted by the test program's own operator new: a
// count that a busy machine leaves as it is, unlike a time.
#pragma once

#include <cstddef>
#include <functional>

struct HeapUse {
    size_t bytes = 0;  // asked for, whether freed since or not
    size_t calls = 0;
};

// What `work` asks of the heap on the calling thread (not counted again by an enclosing call).
HeapUse HeapUseOf(const std::function<void()>& work);
