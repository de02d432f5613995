// The simulator's question to every display page a module opens: is it an
// MFD2 (the sketchpad interface)? It asks with dynamic_cast inside a try whose
// catch (...) falls back to the device-context interface. This host asks the
// same way, and demands a clean "no" from its C library's runtime
// (ucrtbase.dll's __RTDynamicCast): the module's page is a GraphMFD. Because
// a page without type information may still get a "no" by luck (whatever word
// precedes its virtual table), the type record the runtime reads is checked
// here as well, field by field.
#include "tests/host_abi/orbiter/page_type_check.h"

#include <cstdint>
#include <cstring>

namespace {

// Visual C++'s type records. Their links are addresses in 32-bit builds and
// offsets from the image base in 64-bit ones (signature 1, with the record's
// own offset at the end), so a link is read as base + value either way.
struct ObjectLocator {
    DWORD signature;
    DWORD offset;             // of the table's subobject in the complete object
    DWORD constructorOffset;
    DWORD typeDescriptor;
    DWORD hierarchy;
#ifdef _WIN64
    DWORD self;
#endif
};
struct TypeDescriptor {
    const void* table;        // type_info's virtual table
    void* spare;
    char name[1];             // ".?AV" name "@@", zero-terminated
};
struct Hierarchy {
    DWORD signature;
    DWORD attributes;
    DWORD baseCount;          // the class itself and each of its bases
    DWORD baseArray;
};
struct BaseDescriptor {
    DWORD typeDescriptor;
    // the base's place and attributes follow; only its type is read here
};

#ifdef _WIN64
constexpr DWORD kLocatorSignature = 1;
#else
constexpr DWORD kLocatorSignature = 0;
#endif

// The image a record must lie in: the one holding the page's virtual table.
struct Image {
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
    bool holds(std::uintptr_t address, std::size_t size) const {
        return address >= begin && address <= end && size <= end - address;
    }
};

Image imageHolding(const void* address) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(address), &module)) {
        return {};
    }
    const auto base = reinterpret_cast<std::uintptr_t>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + static_cast<std::uintptr_t>(dos->e_lfanew));
    return {base, base + nt->OptionalHeader.SizeOfImage};
}

// The type name at a descriptor link, or nullptr when the link leads outside
// the image or to no ".?AV" name ending within it.
const char* typeName(const Image& image, std::uintptr_t linkBase, DWORD link) {
    const std::uintptr_t address = linkBase + link;
    if (!image.holds(address, sizeof(TypeDescriptor))) return nullptr;
    const auto* descriptor = reinterpret_cast<const TypeDescriptor*>(address);
    const char* name = descriptor->name;
    const std::size_t room = image.end - reinterpret_cast<std::uintptr_t>(name);
    if (descriptor->table == nullptr || std::memchr(name, '\0', room) == nullptr) return nullptr;
    return std::strncmp(name, ".?AV", 4) == 0 ? name : nullptr;
}

}  // namespace

const char* pageTypeRecordProblem(const MFD* page) {
    const auto* const* table = *reinterpret_cast<const void* const* const*>(page);
    const Image image = imageHolding(table);
    if (!image.holds(reinterpret_cast<std::uintptr_t>(table - 1), sizeof(void*))) {
        return "the page's virtual table lies in no loaded image";
    }
    const auto locatorAddress = reinterpret_cast<std::uintptr_t>(table[-1]);
    if (!image.holds(locatorAddress, sizeof(ObjectLocator))) {
        return "the word before the page's virtual table leads to no type record of its image";
    }
    const auto* locator = reinterpret_cast<const ObjectLocator*>(locatorAddress);
#ifdef _WIN64
    const std::uintptr_t linkBase = image.begin;
    if (locator->signature != kLocatorSignature || image.begin + locator->self != locatorAddress) {
        return "the page's complete-object locator has the wrong signature or does not point at itself";
    }
#else
    const std::uintptr_t linkBase = 0;
    if (locator->signature != kLocatorSignature) return "the page's complete-object locator has the wrong signature";
#endif
    if (locator->offset != 0) return "the page's virtual table is not at the start of the object";
    if (!typeName(image, linkBase, locator->typeDescriptor)) return "the page's type descriptor names no class";
    const std::uintptr_t hierarchyAddress = linkBase + locator->hierarchy;
    if (!image.holds(hierarchyAddress, sizeof(Hierarchy))) return "the page's class hierarchy lies outside its image";
    const auto* hierarchy = reinterpret_cast<const Hierarchy*>(hierarchyAddress);
    const std::uintptr_t arrayAddress = linkBase + hierarchy->baseArray;
    if (hierarchy->baseCount == 0 || hierarchy->baseCount > 64 ||
        !image.holds(arrayAddress, hierarchy->baseCount * sizeof(DWORD))) {
        return "the page's class hierarchy lists no classes it can hold";
    }
    const auto* bases = reinterpret_cast<const DWORD*>(arrayAddress);
    bool isMfd = false;
    for (DWORD i = 0; i < hierarchy->baseCount; ++i) {
        const std::uintptr_t baseAddress = linkBase + bases[i];
        if (!image.holds(baseAddress, sizeof(BaseDescriptor))) return "a base of the page lies outside its image";
        const char* name = typeName(image, linkBase, reinterpret_cast<const BaseDescriptor*>(baseAddress)->typeDescriptor);
        if (!name) return "a base of the page has no type descriptor";
        if (std::strcmp(name, ".?AVMFD2@@") == 0) return "the page's hierarchy claims MFD2";
        if (std::strcmp(name, ".?AVMFD@@") == 0) isMfd = true;
    }
    return isMfd ? nullptr : "the page's hierarchy does not list MFD";
}

const char* pageTypeCheckProblem(MFD* page) {
    MFD2* sketchpad = nullptr;
    try {
        sketchpad = dynamic_cast<MFD2*>(page);
    } catch (...) {
        return "dynamic_cast<MFD2*> on the page threw";
    }
    if (sketchpad) return "dynamic_cast<MFD2*> on the page answered non-null";
    return pageTypeRecordProblem(page);
}
