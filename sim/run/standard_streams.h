// The process's standard streams as the runner finds them: a closed stdout or a
// reader that has gone away must not kill a run that has its files to write.
#pragma once

namespace zolksim {

// The exit status of a run that succeeded, its files written, while what it
// printed could not all reach stdout (closed, or a pipe whose reader left).
constexpr int kExitOutputLost = 3;

// Call first in main. Writes to a pipe without a reader and past the file size
// limit then fail with an error instead of killing the process. A closed
// standard stream is held by the null device opened for reading, so that no
// file the run opens takes its place and writes to it still fail.
void guardStandardStreams();

}  // namespace zolksim
