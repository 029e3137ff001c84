// What ends the program when an exception escapes every handler (the window
// procedures catch all of them, so this is a last resort). The C++ runtime's
// default prints the exception's demangled type name to the standard error
// stream, which a GUI program does not have, and brings the whole name
// demangler and printf along: a sixth of the executable. Defining the
// handler here keeps those out; what remains is what the default does after
// its message.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

}  // namespace __gnu_cxx
