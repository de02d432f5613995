// zolksim run as a child process, as a user's shell runs it, with the faults a
// test wants: a file size limit, stdout closed or a pipe without a reader, a
// SIGKILL after a delay.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace faults {

enum class Stdout { Null, Closed, PipeWithoutReader };

struct ChildSetup {
    std::vector<std::string> args;  // args[0] is the program
    Stdout out = Stdout::Null;
    std::optional<long> fileSizeLimit;                   // bytes (RLIMIT_FSIZE)
    std::optional<std::chrono::microseconds> killAfter;  // SIGKILL then
    std::optional<unsigned> user;  // run as this user and group id (needs root)
};

struct ChildResult {
    bool exited = false;  // else killed by signal
    int status = 0;       // exit status, or the signal
    std::string err;      // what it wrote to stderr
    long maxRssKiB = 0;
};

ChildResult runChild(const ChildSetup& setup, const std::string& stderrPath);

}  // namespace faults
