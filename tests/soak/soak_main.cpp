// soak [--steps N] [--seed S] [--module PATH]: the random soak (soak_driver.h).
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "tests/soak/soak_driver.h"

int main(int argc, char** argv) {
    soak::SoakOptions options;
    options.modulePath = ZOLK_PROBE_PATH;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--steps") && hasValue) options.steps = std::strtoull(argv[++i], nullptr, 10);
        else if (!std::strcmp(argv[i], "--seed") && hasValue) options.seed = std::strtoull(argv[++i], nullptr, 10);
        else if (!std::strcmp(argv[i], "--module") && hasValue) options.modulePath = argv[++i];
        else {
            std::cerr << "usage: soak [--steps N] [--seed S] [--module PATH]\n";
            return 2;
        }
    }
    soak::SoakFigures figures;
    const int status = soak::runSoak(options, std::cerr, figures);
    std::cout << "soak: seed " << options.seed << ", " << figures.steps << " steps, " << figures.actions
              << " actions (" << figures.entries << " typed entries, " << figures.reloads << " save and reload), "
              << figures.redraws << " redraws: " << (status == 0 ? "every invariant held" : "FAILED") << "\n";
    return status;
}
