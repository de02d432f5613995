#include "sim/cockpit/serve.h"

#include <csignal>
#include <pthread.h>

#include "sim/cockpit/live_cockpit.h"

namespace zolksim {

int serveCockpit(const RunOptions& o, std::ostream& out, std::ostream& err) {
    // Ctrl+C is taken by this thread alone (sigwait), never by the server's
    // or the simulation's threads, which inherit the blocked mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    cockpit::CockpitOptions options;
    options.scenarioPath = o.scenarioPath;
    options.modulePath = o.modulePath;
    options.step = o.step;
    options.outDir = o.outDir;
    options.listen = o.listen;
    options.port = o.port;
    options.allowHosts = o.allowHosts;
    cockpit::LiveCockpit live(options);
    std::string error, warnings;
    if (const int status = live.open(error, warnings); status != 0) {
        err << "zolksim: " << error << "\n";
        pthread_sigmask(SIG_UNBLOCK, &stopSignals, nullptr);
        return status;
    }
    if (!warnings.empty()) err << "zolksim: warning: " << warnings;
    if (const std::string exposed = live.exposureWarning(); !exposed.empty())
        err << "zolksim: warning: " << exposed << "\n";
    const std::vector<std::string> addresses = live.pageAddresses();
    out << "The cockpit is live at " << addresses.front() << " (Ctrl+C stops it)" << std::endl;
    for (std::size_t i = 1; i < addresses.size(); ++i) out << "  and at " << addresses[i] << std::endl;

    int signal = 0;
    sigwait(&stopSignals, &signal);
    live.close();
    pthread_sigmask(SIG_UNBLOCK, &stopSignals, nullptr);
    if (!o.quiet) out << "The cockpit has stopped." << std::endl;
    return 0;
}

}  // namespace zolksim
