// Recording side of the call trace, for the host's own API implementations.
#pragma once

#include <string>

#include "frame/host_api.h"
#include "host/world/trace.h"

namespace simhost::detail {

extern bool traceOn;

void recordCall(std::string entry);

std::string traceText(int v);
std::string traceText(unsigned v);
std::string traceText(double v);
std::string traceText(bool v);
std::string traceText(const char* v);
std::string traceText(const std::string& v);
std::string traceText(const VECTOR3& v);
// An object handle as the object's name ("null" for none, "?" for no object of the host's).
std::string objectText(OBJHANDLE h);
// A raw address such as a module instance handle, in hexadecimal.
std::string pointerText(const void* p);

template <class... Args>
std::string formatCall(const char* name, const Args&... args) {
    std::string entry = name;
    entry += '(';
    [[maybe_unused]] bool first = true;
    ((entry += (first ? "" : ", "), entry += traceText(args), first = false), ...);
    entry += ')';
    return entry;
}

}  // namespace simhost::detail

// Records a call when the trace is on. A macro, so that the arguments are not
// even formatted while it is off; the formatting sits in a cold out-of-line
// lambda, so that a traced call costs the untraced path nothing but the test.
#define HOST_TRACE(...)                                                                 \
    do {                                                                               \
        if (simhost::detail::traceOn) [[unlikely]]                                     \
            [&]() __attribute__((noinline, cold)) {                                    \
                simhost::detail::recordCall(simhost::detail::formatCall(__VA_ARGS__)); \
            }();                                                                       \
    } while (0)
