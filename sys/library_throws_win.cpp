// The standard library's own throw helpers, kept in one object so that the linker takes all of
// them from here. Its versions raise std::length_error and friends, whose text lives in a second
// string implementation that alone would add some 50 KB to the setup program. Callers here
// catch std::exception, so a plain exception with the same text serves them the same.
#include <cstdarg>
#include <cstddef>
#include <exception>
#include <new>
#include <string>
#include <typeinfo>
#include <utility>

namespace {

class LibraryError : public std::exception {
public:
    explicit LibraryError(std::string text) : text_(std::move(text)) {}
    const char* what() const noexcept override { return text_.c_str(); }

private:
    std::string text_;
};

// The library's formats use %s, %zu and %% only.
std::string FormatLibraryText(const char* format, std::va_list arguments) {
    std::string text;
    for (const char* at = format; *at; ++at) {
        if (at[0] == '%' && at[1] == 's') {
            text += va_arg(arguments, const char*);
            ++at;
        } else if (at[0] == '%' && at[1] == 'z' && at[2] == 'u') {
            text += std::to_string(va_arg(arguments, std::size_t));
            at += 2;
        } else if (at[0] == '%' && at[1] == '%') {
            text += '%';
            ++at;
        } else {
            text += *at;
        }
    }
    return text;
}

} // namespace

namespace std {

void __throw_bad_exception() {
    throw bad_exception();
}
void __throw_bad_alloc() {
    throw bad_alloc();
}
void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}
void __throw_bad_cast() {
    throw bad_cast();
}
void __throw_bad_typeid() {
    throw bad_typeid();
}
void __throw_logic_error(const char* text) {
    throw LibraryError(text);
}
void __throw_domain_error(const char* text) {
    throw LibraryError(text);
}
void __throw_invalid_argument(const char* text) {
    throw LibraryError(text);
}
void __throw_length_error(const char* text) {
    throw LibraryError(text);
}
void __throw_out_of_range(const char* text) {
    throw LibraryError(text);
}
void __throw_out_of_range_fmt(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    std::string text = FormatLibraryText(format, arguments);
    va_end(arguments);
    throw LibraryError(std::move(text));
}
void __throw_runtime_error(const char* text) {
    throw LibraryError(text);
}
void __throw_range_error(const char* text) {
    throw LibraryError(text);
}
void __throw_overflow_error(const char* text) {
    throw LibraryError(text);
}
void __throw_underflow_error(const char* text) {
    throw LibraryError(text);
}

} // namespace std
