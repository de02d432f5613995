// zolksim: flies a scenario with the ZolkMFD module loaded (see run.h).
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "sim/progress_bar.h"
#include "sim/run.h"

int main(int argc, char** argv) {
    zolksim::Terminal terminal;
    terminal.progress = zolksim::isTerminal(stderr);
    // https://no-color.org: a set NO_COLOR turns colour off.
    terminal.colour = zolksim::isTerminal(stdout) && !std::getenv("NO_COLOR");
    return zolksim::runZolksim(argc, argv, std::cout, std::cerr, terminal);
}
