#include "sim/run/flight.h"

#include <algorithm>
#include <cmath>

#include "host/world/world.h"

namespace zolksim {

Flight::Flight(double duration, double step) : duration_(duration), step_(step) {
    // A last step shorter than a millionth of a step is dropped, not flown.
    steps_ = static_cast<std::uint64_t>(std::max(1.0, std::ceil(duration / step - 1e-6)));
}

void Flight::fly(Pilot& pilot, OrbitTrack& track, ProgressBar& progress, const std::function<void()>& afterFirstStep) {
    simhost::World& world = simhost::world();
    track.observe(world.simTime(), 0.0);
    FlightGuard guard(track.vessel(), track.body(), step_);
    bool going = guard.checkStart(world.simTime());
    if (history_) history_->observe(world.simTime());
    if (going && goal_ && goal_->check(world.simTime(), 0)) {
        end_ = FlightEnd::GoalMet;
        going = false;
    }
    for (std::uint64_t i = 0; i < steps_ && going; ++i) {
        // Step times come from the step index, so no rounding builds up over a long run.
        const double start = static_cast<double>(i) * step_;
        const double end = i + 1 == steps_ ? duration_ : static_cast<double>(i + 1) * step_;
        pilot.act(world.simTime());
        world.step(end - start);
        flown_ = i + 1;
        track.observe(world.simTime(), end - start);
        if (i == 0 && afterFirstStep) afterFirstStep();
        progress.update(world.simTime(), i + 1);
        if (!guard.checkStep(world.simTime())) break;
        if (history_) history_->observe(world.simTime());
        if (goal_ && goal_->check(world.simTime(), i + 1)) {
            end_ = FlightEnd::GoalMet;
            break;
        }
    }
    if (guard.end() != FlightEnd::Limit) {
        end_ = guard.end();
        stopTime_ = guard.stopTime();
        stopReason_ = guard.reason();
    }
    pilot.act(world.simTime());
    track.finish(world.simTime());
    if (history_) history_->finish(world.simTime());
    progress.finish();
}

}  // namespace zolksim
