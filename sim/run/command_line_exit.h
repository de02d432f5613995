// The exit status of a command line that cannot be run. CLI11's own statuses
// differ by mistake (105 a refused value, 109 an unknown option, ...); zolksim
// and its sweep end every bad command line with 2, as for a bad scenario.
#pragma once

#include <CLI/CLI.hpp>
#include <ostream>

namespace zolksim {

constexpr int kExitBadCommandLine = 2;

// Prints what CLI11 says about e (help and version to out, mistakes to err) and
// gives the status: 0 for help and version, 2 for any mistake.
inline int commandLineExit(CLI::App& app, const CLI::ParseError& e, std::ostream& out, std::ostream& err) {
    return app.exit(e, out, err) == 0 ? 0 : kExitBadCommandLine;
}

}  // namespace zolksim
