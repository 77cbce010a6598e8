// Replaces the C++ runtime's default terminate handler, which writes a demangled message to a
// console that this windowed program does not have. Ending at once leaves the demangler (about
// 46 KB) out of the executable. Linked as an object of the program itself, so it is chosen
// before the runtime library's own handler.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
