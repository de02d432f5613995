// The pilot: carries out a script's actions on the cockpit when their time
// comes, and reports how each went.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "sim/pilot/pilot_script.h"

namespace zolksim {

struct PilotEvent {
    double time;       // simulated s when it happened
    std::string text;  // what happened, beginning with the script line
    bool problem;      // refused or impossible
};

class Pilot {
public:
    // saveScenario writes the world's scenario under a plain file name and
    // gives an empty string, or the reason it failed.
    Pilot(std::vector<PilotAction> actions, std::function<std::string(const std::string&)> saveScenario);

    // Carries out every action due at or before simTime, in order. Called
    // before every step: with nothing due it costs one comparison.
    void act(double simTime) {
        if (simTime >= nextDue_) actDue(simTime);
    }
    // Actions never reached (their time lies beyond the run).
    std::size_t pending() const { return actions_.size() - next_; }
    const std::vector<PilotAction>& actions() const { return actions_; }
    std::size_t nextAction() const { return next_; }

    // The display that keys and buttons go to: the one chosen last, else the
    // first open one.
    std::string displayPosition() const;
    const std::vector<PilotEvent>& events() const { return events_; }

private:
    void actDue(double simTime);
    void perform(const PilotAction& action, double simTime);
    void report(const PilotAction& action, double simTime, const std::string& what, bool problem);

    std::vector<PilotAction> actions_;
    std::size_t next_ = 0;
    double nextDue_ = 0.0;  // time of actions_[next_]; infinite when none is left
    std::function<std::string(const std::string&)> saveScenario_;
    std::string chosenDisplay_;
    std::vector<PilotEvent> events_;
};

}  // namespace zolksim
