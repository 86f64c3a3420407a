// The setup program's last resort for an exception nothing caught. The toolchain's default
// prints the exception's demangled type to the console, which a window program does not
// have, and brings the whole demangler with it (an eighth of the program). Defined in the
// program itself, it replaces the library's before the linker looks there.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

} // namespace __gnu_cxx
