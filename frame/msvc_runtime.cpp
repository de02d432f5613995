// What Visual C++'s runtime library would give the module, for the host-ABI
// build, which links no C++ runtime: the module runs no C++ start-up code
// (DllMain is the DLL's entry point itself, and the module has no dynamic
// initialisation, which the build checks), throws nothing and asks nothing of
// type information. What remains is the heap, the floating-point marker and
// the table the page's type descriptors point at.
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

// Every type descriptor of Visual C++'s ABI begins with the address of
// type_info's virtual table, which its C++ runtime would supply. The page's
// descriptors (read by the host's runtime when it asks whether the page is an
// MFD2) point here instead. That runtime compares descriptors by their names
// and never calls through this table, and no type_info of the module is ever
// destroyed, so its one slot (the deleting destructor) stays empty.
extern "C" const void* const zolkTypeInfoTable[1] __asm__("??_7type_info@@6B@") = {nullptr};
