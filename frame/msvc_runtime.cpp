// What Visual C++'s runtime library would give the module, for the host-ABI
// build, which links no C++ runtime: the module runs no C++ start-up code
// (DllMain is the DLL's entry point itself, and the module has no dynamic
// initialisation, which the build checks), throws nothing and asks nothing of
// type information. What remains is the heap and the floating-point marker.
#include <cstdlib>
#include <new>

namespace std {
const nothrow_t nothrow{};
}  // namespace std

// The display page is made with new (std::nothrow) and destroyed by the host
// through its virtual destructor, which calls the module's own delete: both
// take the C library's heap, so memory never crosses between two heaps.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size == 0 ? 1 : size); }
void operator delete(void* memory) noexcept { std::free(memory); }

// Visual C++'s compilers reference this symbol from every object that uses
// floating point, to pull the runtime's floating-point support into the link;
// Windows' C library needs nothing from it.
extern "C" int _fltused = 0;
