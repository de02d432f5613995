#include "sim/run/process_id.h"

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#endif

namespace zolksim {

#ifdef _WIN32

long currentProcessId() { return _getpid(); }

bool processRuns(long id) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
    if (!process) return GetLastError() != ERROR_INVALID_PARAMETER;  // that error: no such process
    DWORD code = 0;
    const bool runs = !GetExitCodeProcess(process, &code) || code == STILL_ACTIVE;
    CloseHandle(process);
    return runs;
}

#else

long currentProcessId() { return static_cast<long>(getpid()); }
bool processRuns(long id) {
    // Beyond any process id: not one (a leftover named by an older runner).
    if (id > std::numeric_limits<pid_t>::max()) return false;
    return id <= 0 || kill(static_cast<pid_t>(id), 0) == 0 || errno != ESRCH;
}

#endif

}  // namespace zolksim
