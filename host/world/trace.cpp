#include <cstdio>
#include <memory>

#include "host/world/trace_record.h"
#include "host/world/world.h"

namespace simhost {
namespace detail {

bool traceOn = false;

namespace {
std::vector<std::string>& entries() {
    static std::vector<std::string> list;
    return list;
}
}  // namespace

void recordCall(std::string entry) { entries().push_back(std::move(entry)); }

std::string traceText(int v) { return std::to_string(v); }
std::string traceText(unsigned v) { return std::to_string(v); }
std::string traceText(bool v) { return v ? "true" : "false"; }
std::string traceText(const char* v) { return v ? v : "null"; }
std::string traceText(const std::string& v) { return v; }

std::string traceText(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", v);
    return buffer;
}

std::string traceText(const VECTOR3& v) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "(%.17g, %.17g, %.17g)", v.x, v.y, v.z);
    return buffer;
}

std::string objectText(OBJHANDLE h) {
    if (!h) return "null";
    const Object* object = world().objectFromHandle(h);
    return object ? object->name : "?";
}

std::string pointerText(const void* p) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%p", p);
    return buffer;
}

}  // namespace detail

void setTraceEnabled(bool on) { detail::traceOn = on; }
bool traceEnabled() { return detail::traceOn; }
const std::vector<std::string>& traceEntries() { return detail::entries(); }
void clearTrace() { detail::entries().clear(); }

int traceCount(const std::string& callName) {
    int count = 0;
    for (const auto& entry : detail::entries())
        if (entry.compare(0, callName.size(), callName) == 0 && entry.size() > callName.size() &&
            entry[callName.size()] == '(')
            ++count;
    return count;
}

}  // namespace simhost
