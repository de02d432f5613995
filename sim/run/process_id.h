// This process's identifier, and whether another process still runs: staging
// folders carry their run's identifier, so that a later run can tell the
// leftovers of a killed run from the folder of a run still going.
#pragma once

namespace zolksim {

long currentProcessId();
// False only when no process has the identifier; where that cannot be told,
// true (the folder is then left alone).
bool processRuns(long id);

}  // namespace zolksim
