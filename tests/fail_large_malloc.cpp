// Preloaded into the program by the tests: every allocation of more than 96 KiB fails,
// as when memory runs out. A 64 KiB text then gets its record (N + 13 bytes) but not its
// hex text (2N + 27 bytes), and the shell and tools around the program are unaffected.
// Both malloc and the array form of nothrow new are covered: a sanitizer serves new
// itself, without malloc.

#include <dlfcn.h>

#include <cerrno>
#include <cstddef>
#include <new>
#include <type_traits>

namespace {

constexpr std::size_t limit = std::size_t{96} * 1024;

// The allocation function that this library stands in front of: the C library's, the
// C++ runtime's or a sanitizer's.
template <typename Function>
Function* next(const char* name) {
    return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" void* malloc(std::size_t size) {
    static auto* const next_malloc = next<void*(std::size_t)>("malloc");
    if (size > limit) {
        errno = ENOMEM;
        return nullptr;
    }
    return next_malloc(size);
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    using NewArray = void*(std::size_t, const std::nothrow_t&);
    // This function's mangled name, whose size_t is unsigned long (m) or unsigned int (j).
    constexpr const char* name =
        std::is_same_v<std::size_t, unsigned long> ? "_ZnamRKSt9nothrow_t" : "_ZnajRKSt9nothrow_t";
    static auto* const next_new = next<NewArray>(name);
    return size > limit ? nullptr : next_new(size, tag);
}
