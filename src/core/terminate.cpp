// The stub never lets an exception escape (the archive catches its own), so the C++
// library's verbose terminate handler, which drags the whole symbol demangler into every
// executable, is replaced by a plain abort. This keeps tens of kilobytes out of the stub.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    std::abort();
}

} // namespace __gnu_cxx
