// The host API's object queries: lookups by name, vessel interfaces, focus, names.
#include <algorithm>
#include <cstring>

#include "host/world/trace_record.h"
#include "host/world/world.h"

using simhost::world;

namespace {
OBJHANDLE handleOf(simhost::Object* object) { return object; }
const char* nameText(const char* name) { return name ? name : ""; }
}  // namespace

OBJHANDLE oapiGetObjectByName(char* name) {
    const auto work = [name] { return handleOf(world().findObject(nameText(name))); };
    HOST_TRACE_THEN(work, "oapiGetObjectByName", name);
    return work();
}

OBJHANDLE oapiGetGbodyByName(char* name) {
    HOST_TRACE("oapiGetGbodyByName", name);
    return handleOf(world().findBody(nameText(name)));
}

OBJHANDLE oapiGetVesselByName(char* name) {
    const auto work = [name] { return handleOf(world().findVessel(nameText(name))); };
    HOST_TRACE_THEN(work, "oapiGetVesselByName", name);
    return work();
}

VESSEL* oapiGetVesselInterface(OBJHANDLE hVessel) {
    const auto work = [hVessel]() -> VESSEL* {
        simhost::Vessel* vessel = world().vesselFromHandle(hVessel);
        return vessel ? &vessel->vesselInterface() : nullptr;
    };
    HOST_TRACE_THEN(work, "oapiGetVesselInterface", simhost::detail::objectText(hVessel));
    return work();
}

OBJHANDLE oapiGetFocusObject() {
    HOST_TRACE("oapiGetFocusObject");
    return handleOf(world().focus());
}

void oapiGetObjectName(OBJHANDLE hObj, char* name, int n) {
    HOST_TRACE("oapiGetObjectName", simhost::detail::objectText(hObj), n);
    if (!name || n <= 0) return;
    const simhost::Object* object = world().objectFromHandle(hObj);
    const std::string& text = object ? object->name : std::string();
    const std::size_t count = std::min(text.size(), static_cast<std::size_t>(n - 1));
    std::memcpy(name, text.data(), count);
    name[count] = '\0';
}
