#include "tests/soak/soak_driver.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <optional>
#include <random>
#include <sstream>
#include <vector>

#include "frame/plugin_state.h"
#include "host/scenario/scenario_file.h"
#include "host/world/world.h"
#include "mfd/controls.h"
#include "tests/soak/hostile_text.h"

namespace soak {

namespace {

// Four vessels about three bodies: one with two engines on one tank, one with
// two tanks and engines in two groups, one with more main engines than the
// record keeps, one with none, one whose tank is dry.
constexpr const char* kStartScene = R"(BEGIN_ENVIRONMENT
  DATE MJD 60650
END_ENVIRONMENT
BEGIN_FOCUS
  SHIP Ion Tug
END_FOCUS
BEGIN_MFD Left
  MODE ZOLKMFD
  ATT 1
  ABP 1
  RBD Earth
  VES Ion_Tug
END_MFD
BEGIN_MFD Right
  MODE ZOLKMFD
END_MFD
BEGIN_SHIPS
Ion Tug
  EMPTY_MASS 1000
  REF Earth
  RPOS 6771000 0 0
  RVEL 0 8068.2 0
  TANK 400 400
  THRUSTER 0 0.3 -1.5 0 0 1 1.5 30000 0 0
  THRUSTER 0 -0.3 -1.5 0 0 1 1.5 30000 0 0
  GROUP MAIN 0 1
END
Lander Two
  EMPTY_MASS 2000
  REF Moon
  RPOS 1900000 0 0
  RVEL 0 1600 0
  TANK 500 500
  TANK 100 80
  THRUSTER 0 0 -2 0 0 1 4000 3000 0 0
  THRUSTER 0 0 2 0 0 -1 1000 2500 1 0
  THRUSTER 1 0 -2 0 0 1 2000 3100 1 0
  GROUP MAIN 0 2
  GROUP RETRO 1
END
Mars Probe
  EMPTY_MASS 300
  REF Mars
  RPOS 4000000 0 0
  RVEL 0 3300 0
  TANK 50 50
  THRUSTER 0 0 -1 0 0 1 1 3000 0 0
  THRUSTER 0 0 -1 0 0 1 2 3000 0 0
  THRUSTER 0 0 -1 0 0 1 3 3000 0 0
  THRUSTER 0 0 -1 0 0 1 4 3000 0 0
  THRUSTER 0 0 -1 0 0 1 5 3000 0 0
  GROUP MAIN 0 1 2 3 4
END
Station Alpha
  EMPTY_MASS 50000
  REF Earth
  RPOS 0 7000000 0
  RVEL -7546 0 0
END
Dry_Tank
  EMPTY_MASS 100
  REF Earth
  RPOS 0 -42164000 0
  RVEL 3075 0 0
  TANK 10 0
  THRUSTER 0 0 -1 0 0 1 10 300 0 0
  GROUP MAIN 0
END
END_SHIPS
)";

constexpr const char* kPositions[] = {"Left", "Right"};
constexpr double kSteps[] = {0.01, 0.1, 1.0, 1.0, 1.0, 10.0, 60.0, 600.0};
constexpr DWORD kKeys[] = {kKeyAttitudeHold, kKeyReferenceBody, kKeyVessel, kKeyThrust, kKeyIsp, kKeyAutoBurn};
constexpr std::size_t kMaxPageTexts = 64, kMaxTextLength = 300;  // a page holds 36 x 24 characters
constexpr int kRedrawEvery = 64;  // steps between redraws when nothing happens
constexpr int kActionOdds = 40;   // one step in this many does something

bool finite(const VECTOR3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

std::vector<std::string> pageTexts(const simhost::PageRecord& page) {
    std::vector<std::string> texts;
    if (page.hasTitle) texts.push_back("title: " + page.title.text);
    for (const simhost::TextItem& item : page.texts)
        texts.push_back(std::to_string(item.x) + "," + std::to_string(item.y) + "," + std::to_string(item.color) + ": " +
                        item.text);
    return texts;
}

// The text with every negative zero ("-0", "-0.000") written without its sign.
// A typed "-0" (or a negative number too small for single precision) is a
// non-negative thrust that the engines take as -0 N; after a reload the page
// reads the engines' sum afresh, which is +0. The two are the same thrust.
std::string unsignedZeros(std::string text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '-' && i + 1 < text.size() && text[i + 1] == '0') {
            std::size_t end = i + 1;
            while (end < text.size() && (text[end] == '0' || text[end] == '.')) ++end;
            const bool zero = end == text.size() || !(std::isdigit(static_cast<unsigned char>(text[end])) ||
                                                      text[end] == 'e' || text[end] == 'E');
            if (zero) continue;  // drop the sign
        }
        out += text[i];
    }
    return out;
}

class Soak {
public:
    Soak(const SoakOptions& options, std::ostream& err, SoakFigures& figures)
        : o_(options), err_(err), figures_(figures), rng_(options.seed) {}

    int run() {
        simhost::World& w = simhost::world();
        w.reset();
        std::string error;
        simhost::LoadedModule* module = w.modules().load(o_.modulePath, error);
        if (!module) return fail("cannot load the module: " + error);
        auto stateOf = reinterpret_cast<PluginState* (*)()>(w.modules().entryPoint(*module, "zolkProbeState"));
        if (!stateOf) return fail(o_.modulePath + " has no zolkProbeState: not the probe module");
        record_ = stateOf();
        const simhost::ScenarioLoad load = simhost::loadScenarioText(kStartScene, "soak");
        if (!load.ok) return fail("the start scene does not load: " + simhost::messageText(load.error));
        for (const auto& body : w.bodies()) names_.push_back(body->name);
        for (const auto& vessel : w.vessels()) names_.push_back(vessel->name);
        notePropellant();

        for (step_ = 0; step_ < o_.steps; ++step_) {
            bool acted = false;
            if (below(kActionOdds) == 0) {
                act();
                acted = true;
            }
            if (failed_) break;
            w.step(dt_);
            if (!checkWorld()) break;
            if ((acted || step_ % kRedrawEvery == 0) && !checkPages()) break;
        }
        figures_.steps = step_;
        w.reset();
        return failed_ ? 1 : 0;
    }

private:
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    int fail(const std::string& what) {
        failed_ = true;
        err_ << "soak: seed " << o_.seed << ", step " << step_ << ": " << what << "\n"
             << "soak: replay with: soak --seed " << o_.seed << " --steps " << step_ + 1 << "\n";
        return 1;
    }

    simhost::Display* someDisplay() { return simhost::world().cockpit().display(kPositions[below(2)]); }

    void act() {
        ++figures_.actions;
        simhost::World& w = simhost::world();
        simhost::Cockpit& cockpit = w.cockpit();
        switch (below(10)) {
            case 0:  // a key of the page, or any key
                if (simhost::Display* d = someDisplay())
                    d->pressKey(below(4) ? kKeys[below(6)] : static_cast<DWORD>(below(256)));
                break;
            case 1:  // a button, pressed or otherwise
                if (simhost::Display* d = someDisplay()) d->pressButton(below(16) - 2, below(3) ? 1 : below(256));
                break;
            case 2:
            case 3:
            case 4:  // an entry into the open box, opening one first when none is
                if (!cockpit.currentInputBox())
                    if (simhost::Display* d = someDisplay()) d->pressKey(kKeys[1 + below(4)]);
                if (cockpit.currentInputBox()) {
                    ++figures_.entries;
                    cockpit.answerInputBox(anyText(rng_, names_));
                }
                break;
            case 5:
                cockpit.cancelInputBox();
                break;
            case 6:  // the host's focus to another vessel, or to none
                w.setFocus(w.vessels().empty() || below(8) == 0 ? nullptr
                                                                : w.vessels()[below(static_cast<int>(w.vessels().size()))].get());
                break;
            case 7: {  // a display closed, or opened afresh
                const char* position = kPositions[below(2)];
                if (below(2)) cockpit.closeDisplay(position);
                else cockpit.openDisplay(position, "ZOLKMFD");
                break;
            }
            case 8:
                saveAndReload();
                break;
            default:
                dt_ = kSteps[below(static_cast<int>(std::size(kSteps)))];
                break;
        }
    }

    // The scene saved and loaded again must save to the same text and show the same pages.
    void saveAndReload() {
        ++figures_.reloads;
        // Names go to the file with their spaces as underscores, and every
        // underscore comes back as a space: so do the ones a name had.
        std::vector<std::vector<std::string>> before = drawPages();
        for (auto& page : before)
            for (std::string& text : page) {
                for (char& c : text)
                    if (c == '_') c = ' ';
                text = unsignedZeros(text);
            }
        const std::string saved = simhost::saveScenarioText(description_);
        const simhost::ScenarioLoad load = simhost::loadScenarioText(saved, "saved");
        if (!load.ok) {
            fail("the saved scene does not load: " + simhost::messageText(load.error) + "\n" + saved);
            return;
        }
        description_ = load.description;
        const std::string again = simhost::saveScenarioText(description_);
        if (unsignedZeros(again) != unsignedZeros(saved)) {
            // The host writes the page's thrust and ISP with six decimals, and
            // the page applies what it reads to the engines when that differs
            // from what they have: a typed single-precision value with more
            // digits settles after one reload, and must stay settled.
            const simhost::ScenarioLoad settle = simhost::loadScenarioText(again, "saved again");
            if (!settle.ok) {
                fail("the resaved scene does not load: " + simhost::messageText(settle.error) + "\n" + again);
                return;
            }
            description_ = settle.description;
            const std::string settled = simhost::saveScenarioText(description_);
            if (unsignedZeros(settled) != unsignedZeros(again)) {
                fail("save -> load -> save does not settle:\n" + saved + "----\n" + again + "----\n" + settled);
                return;
            }
        }
        std::vector<std::vector<std::string>> after = drawPages();
        for (auto& page : after)
            for (std::string& text : page) text = unsignedZeros(text);
        for (std::size_t i = 0; i < before.size(); ++i)
            if (before[i] != after[i]) {
                std::string shown;
                for (const std::string& t : before[i]) shown += "  " + t + "\n";
                shown += "----\n";
                for (const std::string& t : after[i]) shown += "  " + t + "\n";
                fail(std::string("the ") + kPositions[i] + " page differs after the reload:\n" + shown);
                return;
            }
    }

    // Each position's page as drawn now; empty for no display.
    std::vector<std::vector<std::string>> drawPages() {
        std::vector<std::vector<std::string>> pages;
        for (const char* position : kPositions) {
            simhost::Display* d = simhost::world().cockpit().display(position);
            pages.push_back(d && d->object() ? pageTexts(d->redraw()) : std::vector<std::string>{});
        }
        return pages;
    }

    void notePropellant() {
        propellant_.clear();
        for (const auto& vessel : simhost::world().vessels()) {
            std::vector<double>& masses = propellant_.emplace_back();
            for (const auto& tank : vessel->propellants) masses.push_back(tank->mass);
        }
    }

    bool checkWorld() {
        const auto& vessels = simhost::world().vessels();
        if (vessels.size() != propellant_.size()) return fail("the number of vessels changed") == 0;
        for (std::size_t i = 0; i < vessels.size(); ++i) {
            const simhost::Vessel& v = *vessels[i];
            bool rotationFinite = true;
            for (const auto& row : v.rot.m)
                for (double x : row) rotationFinite = rotationFinite && std::isfinite(x);
            if (!finite(v.pos) || !finite(v.vel) || !finite(v.angVel) || !rotationFinite)
                return fail(v.name + ": a state that is not finite") == 0;
            for (const auto& t : v.thrusters) {
                if (!(t->level >= 0.0 && t->level <= 1.0))
                    return fail(v.name + ": thruster level " + std::to_string(t->level)) == 0;
                if (!(std::isfinite(t->max0) && t->max0 >= 0.0 && std::isfinite(t->isp) && t->isp >= 0.0))
                    return fail(v.name + ": thruster of thrust " + std::to_string(t->max0) + " N and ISP " +
                                std::to_string(t->isp)) == 0;
            }
            for (std::size_t k = 0; k < v.propellants.size(); ++k) {
                const simhost::Propellant& tank = *v.propellants[k];
                if (!(tank.mass >= 0.0 && tank.mass <= tank.maxMass && tank.mass <= propellant_[i][k]))
                    return fail(v.name + ": tank " + std::to_string(k) + " went from " +
                                std::to_string(propellant_[i][k]) + " to " + std::to_string(tank.mass) + " kg") == 0;
                propellant_[i][k] = tank.mass;
            }
        }
        if (!std::memchr(record_->refName, '\0', kNameLength) || !std::memchr(record_->vesselName, '\0', kNameLength))
            return fail("a name in the module's record is not terminated") == 0;
        return true;
    }

    bool checkPages() {
        for (const char* position : kPositions) {
            simhost::Display* d = simhost::world().cockpit().display(position);
            if (!d || !d->object()) continue;
            ++figures_.redraws;
            const simhost::PageRecord& page = d->redraw();
            if (page.texts.size() > kMaxPageTexts)
                return fail(std::string(position) + ": " + std::to_string(page.texts.size()) + " texts on the page") == 0;
            for (const simhost::TextItem& item : page.texts)
                if (item.text.size() > kMaxTextLength)
                    return fail(std::string(position) + ": a text of " + std::to_string(item.text.size()) +
                                " characters on the page") == 0;
        }
        return true;
    }

    const SoakOptions& o_;
    std::ostream& err_;
    SoakFigures& figures_;
    std::mt19937_64 rng_;
    PluginState* record_ = nullptr;
    std::vector<std::string> names_;                // bodies and vessels of the start scene
    std::vector<std::vector<double>> propellant_;   // per vessel and tank, after the last step
    std::string description_;
    double dt_ = 1.0;
    std::uint64_t step_ = 0;
    bool failed_ = false;
};

}  // namespace

int runSoak(const SoakOptions& options, std::ostream& err, SoakFigures& figures) {
    return Soak(options, err, figures).run();
}

}  // namespace soak
