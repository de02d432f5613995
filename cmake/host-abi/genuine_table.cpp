// The simulator's own display class, GraphMFD, with nothing overridden: its
// table of virtual operations, as this compiler lays it out in this ABI, is
// the one the module's display class is compared with, slot by slot
// (cmake/host-abi/host_imports.py vtable).
class ATMOSPHERE;
class Instrument_User;
#include <Orbitersdk.h>

struct GenuineTable : GraphMFD {
    GenuineTable(DWORD width, DWORD height, VESSEL* vessel);
};

GenuineTable::GenuineTable(DWORD width, DWORD height, VESSEL* vessel) : GraphMFD(width, height, vessel) {}
