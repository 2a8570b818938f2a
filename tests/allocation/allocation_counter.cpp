#include "allocation_counter.h"

#include <dlfcn.h>
#include <execinfo.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#include "sim/world.h"

namespace allocation {

namespace {

std::string g_class;    // the watched class; also the module library's name
std::string g_library;  // "/<class>.so"
std::atomic<long> g_count{0};
thread_local bool g_inside = false;  // an allocation of the counter's own

bool ends_with(const char* s, const std::string& tail) {
    std::size_t n = std::strlen(s);
    return n >= tail.size() && std::strcmp(s + n - tail.size(), tail.c_str()) == 0;
}

bool runtime_library(const char* path) {
    for (const char* lib : {"libstdc++", "libc.so", "libasan", "libubsan", "libgcc_s", "ld-linux"})
        if (std::strstr(path, lib))
            return true;
    return false;
}

// Whose code asked for the memory: the first frame outside the runtime and this program.
bool by_module() {
    void* frames[48];
    int n = backtrace(frames, 48);
    Dl_info self{};
    dladdr(reinterpret_cast<void*>(&by_module), &self);
    for (int i = 1; i < n; ++i) {
        Dl_info info{};
        if (!dladdr(frames[i], &info) || !info.dli_fname)
            continue;
        if (info.dli_fbase == self.dli_fbase || runtime_library(info.dli_fname))
            continue;
        return ends_with(info.dli_fname, g_library);
    }
    return false;
}

void note_allocation() {
    if (g_class.empty() || g_inside)
        return;
    sim::World* w = sim::World::current();
    sim::Vessel* v = w ? w->caller() : nullptr;
    if (!v || v->class_name() != g_class)
        return;
    g_inside = true;
    if (by_module())
        ++g_count;
    g_inside = false;
}

// The unwinder loads its library on the first backtrace: once here, before any count.
const bool g_unwinder_ready = [] {
    void* frames[2];
    return backtrace(frames, 2) >= 0;
}();

void* allocate(std::size_t n, std::size_t align = 0) {
    note_allocation();
    void* p = nullptr;
    if (align > alignof(std::max_align_t)) {
        if (posix_memalign(&p, align, n ? n : 1) != 0)
            p = nullptr;
    } else {
        p = std::malloc(n ? n : 1);
    }
    return p;
}

}  // namespace

void watch(const std::string& class_name) {
    g_inside = true;  // the strings below allocate
    g_class = class_name;
    g_library = "/" + class_name + ".so";
    g_count = 0;
    g_inside = false;
}

long module_allocations() {
    return g_count;
}

}  // namespace allocation

// The global allocation functions of this program, all on malloc and free, so that the
// sanitizer's own versions never see a block of ours.
void* operator new(std::size_t n) {
    if (void* p = allocation::allocate(n))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) {
    return operator new(n);
}
void* operator new(std::size_t n, std::align_val_t a) {
    if (void* p = allocation::allocate(n, static_cast<std::size_t>(a)))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n, std::align_val_t a) {
    return operator new(n, a);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    return allocation::allocate(n);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    return allocation::allocate(n);
}
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
    return allocation::allocate(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
    return allocation::allocate(n, static_cast<std::size_t>(a));
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(p);
}
