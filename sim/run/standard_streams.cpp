#include "sim/run/standard_streams.h"

#ifdef _WIN32

namespace zolksim {

void guardStandardStreams() {}

}  // namespace zolksim

#else

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

namespace zolksim {

void guardStandardStreams() {
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1) continue;
        // Opened in turn from the lowest free descriptor: this very one.
        const int opened = open("/dev/null", O_RDONLY);
        if (opened != fd && opened >= 0) close(opened);
    }
}

}  // namespace zolksim

#endif
