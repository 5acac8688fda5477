// Preloaded into the program by the tests: every allocation of more than 96 KiB fails,
// as when memory runs out. A 64 KiB text then gets its record (N + 6 to N + 9 bytes) but
// not its hex text (2N + 13 to 2N + 19 bytes), and the shell and tools around the program
// are unaffected. With FAIL_LARGE_MALLOC_STICKY set, memory stays exhausted: once a large
// allocation has failed, every later one fails too. malloc and the forms of new that the
// program uses are covered: a sanitizer serves new itself, without malloc.

#include <dlfcn.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <type_traits>

namespace {

constexpr std::size_t limit = std::size_t{96} * 1024;
bool exhausted = false;  // sticky mode, after the first refusal

// Whether an allocation of `size` bytes fails.
bool refused(std::size_t size) {
    static const bool sticky = std::getenv("FAIL_LARGE_MALLOC_STICKY") != nullptr;
    if (size > limit) exhausted = sticky;
    return size > limit || exhausted;
}

// The allocation function that this library stands in front of: the C library's, the
// C++ runtime's or a sanitizer's.
template <typename Function>
Function* next(const char* name) {
    return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

// The mangled name of an operator new, whose size_t is unsigned long (m) or unsigned int (j).
constexpr const char* mangled(const char* if_long, const char* if_int) {
    return std::is_same_v<std::size_t, unsigned long> ? if_long : if_int;
}

}  // namespace

extern "C" void* malloc(std::size_t size) {
    static auto* const next_malloc = next<void*(std::size_t)>("malloc");
    if (refused(size)) {
        errno = ENOMEM;
        return nullptr;
    }
    return next_malloc(size);
}

void* operator new(std::size_t size) {
    static auto* const next_new = next<void*(std::size_t)>(mangled("_Znwm", "_Znwj"));
    if (refused(size)) throw std::bad_alloc();
    return next_new(size);
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    using NewArray = void*(std::size_t, const std::nothrow_t&);
    static auto* const next_new =
        next<NewArray>(mangled("_ZnamRKSt9nothrow_t", "_ZnajRKSt9nothrow_t"));
    return refused(size) ? nullptr : next_new(size, tag);
}
