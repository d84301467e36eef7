#pragma once
// Clang 14 with the system's libstdc++ has no std::source_location (the library
// needs a builtin that clang gained later). The fuzzer build, and only it, gets
// a stand-in with the same interface, made from the builtins clang 14 has.

#include <version>

#if !defined(__cpp_lib_source_location)
#include <cstdint>

namespace std {
struct source_location {
    static constexpr source_location current(const char* file = __builtin_FILE(),
                                             const char* function = __builtin_FUNCTION(),
                                             uint_least32_t line = __builtin_LINE()) noexcept {
        source_location where;
        where.file_ = file;
        where.function_ = function;
        where.line_ = line;
        return where;
    }
    constexpr const char* file_name() const noexcept { return file_; }
    constexpr const char* function_name() const noexcept { return function_; }
    constexpr uint_least32_t line() const noexcept { return line_; }
    constexpr uint_least32_t column() const noexcept { return 0; }

private:
    const char* file_ = "";
    const char* function_ = "";
    uint_least32_t line_ = 0;
};
} // namespace std
#endif
