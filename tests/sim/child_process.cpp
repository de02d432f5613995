#include "tests/sim/child_process.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>

namespace faults {

ChildResult runChild(const ChildSetup& setup, const std::string& stderrPath) {
    int pipeEnds[2] = {-1, -1};
    if (setup.out == Stdout::PipeWithoutReader && pipe(pipeEnds) != 0) return {};
    std::vector<char*> argv;
    for (const std::string& a : setup.args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        const int err = open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(err, 2);
        close(err);
        if (setup.out == Stdout::Null) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            close(null);
        } else if (setup.out == Stdout::Closed) {
            close(1);
        } else {
            dup2(pipeEnds[1], 1);
            close(pipeEnds[0]);
            close(pipeEnds[1]);
        }
        if (setup.fileSizeLimit) {
            const rlimit limit{static_cast<rlim_t>(*setup.fileSizeLimit), static_cast<rlim_t>(*setup.fileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (setup.user && (setgid(*setup.user) != 0 || setuid(*setup.user) != 0)) _exit(126);
        // As a shell leaves them: the default actions.
        std::signal(SIGPIPE, SIG_DFL);
        std::signal(SIGXFSZ, SIG_DFL);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (setup.out == Stdout::PipeWithoutReader) {
        close(pipeEnds[0]);  // the reader has gone before anything is written
        close(pipeEnds[1]);
    }
    if (setup.killAfter) {
        std::this_thread::sleep_for(*setup.killAfter);
        kill(pid, SIGKILL);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);

    ChildResult result;
    result.exited = WIFEXITED(status);
    result.status = result.exited ? WEXITSTATUS(status) : WTERMSIG(status);
    result.maxRssKiB = usage.ru_maxrss;
    std::ifstream err(stderrPath);
    std::ostringstream text;
    text << err.rdbuf();
    result.err = text.str();
    return result;
}

}  // namespace faults
