// zolksim: flies a scenario with the ZolkMFD module loaded (see run.h).
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "sim/run/progress_bar.h"
#include "sim/run/run.h"
#include "sim/run/standard_streams.h"

int main(int argc, char** argv) {
    zolksim::guardStandardStreams();
    zolksim::Terminal terminal;
    terminal.progress = zolksim::isTerminal(stderr);
    // https://no-color.org: a set NO_COLOR turns colour off.
    terminal.colour = zolksim::isTerminal(stdout) && !std::getenv("NO_COLOR");
    const int status = zolksim::runZolksim(argc, argv, std::cout, std::cerr, terminal);
    std::cout.flush();
    if (!std::cout || std::fflush(stdout) != 0) {
        std::cerr << "zolksim: cannot write to standard output (closed, full, or its reader has gone): not everything printed was shown\n";
        if (status == 0) return zolksim::kExitOutputLost;
    }
    return status;
}
