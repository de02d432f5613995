// The runner's command line: any arguments must give either a run with a
// finite, positive duration and step, or no run with text saying why (or the
// help or version asked for) and an exit status to match.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "sim/run/command_line.h"

namespace {

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "command_line_fuzz: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The arguments are the input's NUL-separated pieces.
    std::vector<std::string> args{"zolksim"};
    std::string piece;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\0') {
            args.push_back(piece);
            piece.clear();
        } else {
            piece += static_cast<char>(data[i]);
        }
    }
    if (!piece.empty()) args.push_back(piece);
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());

    std::ostringstream out, err;
    const zolksim::ParsedCommandLine parsed =
        zolksim::parseCommandLine(static_cast<int>(argv.size()), argv.data(), out, err);
    if (parsed.run) {
        const zolksim::RunOptions& o = parsed.options;
        if (parsed.exitCode != 0) broken("a run with a non-zero exit status");
        if (!std::isfinite(o.duration) || !(o.duration > 0.0)) broken("a run without a finite, positive duration");
        if (!std::isfinite(o.step) || !(o.step > 0.0)) broken("a run without a finite, positive step");
        if (o.outDir.empty()) broken("a run without an output folder");
        return 0;
    }
    if (parsed.exitCode == 0 ? out.str().empty() : err.str().empty()) broken("no run and nothing said about it");
    return 0;
}
