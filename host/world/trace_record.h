// Recording side of the call trace, for the host's own API implementations.
#pragma once

#include <string>

#include "frame/host_api.h"
#include "host/world/trace.h"

namespace simhost::detail {

// Hidden from other libraries (it is the host's own): read without a
// global-offset-table load at every traced call.
#if defined(__GNUC__) && !defined(_WIN32)
extern bool traceOn __attribute__((visibility("hidden")));
#else
extern bool traceOn;
#endif

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

// Records a call when the trace is on: formats and records it out of line, in
// a cold function that takes the arguments by value, so that the untraced
// path is the test alone, with nothing of the arguments kept in memory.
template <class... Args>
[[gnu::noinline, gnu::cold]] void traceCall(const char* name, Args... args) {
    recordCall(formatCall(name, args...));
}

// Records a call, then does its work (a callable) and returns what it gives:
// where a traced call ends the function in a tail call to this, the untraced
// path makes no call at all and needs no stack frame.
template <class Work, class... Args>
[[gnu::noinline, gnu::cold]] auto traceThen(Work work, const char* name, Args... args) {
    recordCall(formatCall(name, args...));
    return work();
}

}  // namespace simhost::detail

// In a hot API function: `const auto work = [...] { ... };` holding the
// function's whole work, then HOST_TRACE_THEN(work, "Name", args...); and
// `return work();`.
#define HOST_TRACE_THEN(work, ...)                                     \
    do {                                                              \
        if (simhost::detail::traceOn) [[unlikely]]                    \
            return simhost::detail::traceThen(work, __VA_ARGS__);     \
    } while (0)

// A macro, so that the arguments are not even evaluated while the trace is off.
#define HOST_TRACE(...)                                                \
    do {                                                              \
        if (simhost::detail::traceOn) [[unlikely]]                    \
            simhost::detail::traceCall(__VA_ARGS__);                  \
    } while (0)
