// Scenario text into a description: the blocks, their lines, and the names the
// lines refer to. Nothing here touches the world.
#include <cmath>
#include <cstddef>
#include <string>
#include <unordered_set>

#include "host/world/names.h"
#include "host/scenario/tank_capacity.h"
#include "host/scenario/scenario_description.h"
#include "host/scenario/scenario_text.h"
#include "host/physics/solar_system.h"

namespace simhost {

namespace {

struct Line {
    int number = 0;         // 1-based
    std::string_view text;  // trimmed
};

// A direction this close to unit length is taken as written, so that a saved
// direction reads back bit for bit instead of being normalised again.
constexpr double kUnitTolerance = 1e-12;
// How far the rows of a ROT matrix may stray from an orthonormal set.
constexpr double kRotationTolerance = 1e-9;

std::string quoted(std::string_view s) { return joined("'", s, "'"); }

bool isComment(std::string_view text) { return text.empty() || text.front() == ';'; }

bool isRotation(const Mat3& r) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const double dot = r.m[i][0] * r.m[j][0] + r.m[i][1] * r.m[j][1] + r.m[i][2] * r.m[j][2];
            if (std::abs(dot - (i == j ? 1.0 : 0.0)) > kRotationTolerance) return false;
        }
    const VECTOR3 x = vec3(r.m[0][0], r.m[0][1], r.m[0][2]);
    const VECTOR3 y = vec3(r.m[1][0], r.m[1][1], r.m[1][2]);
    const VECTOR3 z = vec3(r.m[2][0], r.m[2][1], r.m[2][2]);
    return dotp(crossp(x, y), z) > 0.0;  // not a reflection
}

class Parser {
public:
    Parser(std::string_view text, const std::string& source, ScenarioDescription& out,
           std::vector<ScenarioMessage>& warnings)
        : source_(source), out_(out), warnings_(warnings) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = text.find('\n', start);
            lines_.push_back(text.substr(start, end - start));  // to the text's end when there is no line break
            if (end == std::string_view::npos) break;
            start = end + 1;
        }
    }

    bool run(ScenarioMessage& error) {
        bool ok = true;
        Line line;
        while (ok && nextLine(line)) {
            std::string_view rest;
            const std::string_view key = firstWord(line.text, rest);
            if (!startsWithName(key, "BEGIN_")) {
                warn(line, "line outside any block skipped");
                continue;
            }
            const std::string_view name = key.substr(6);
            if (sameName(name, "DESC")) ok = description(line);
            else if (sameName(name, "ENVIRONMENT")) ok = environment(line);
            else if (sameName(name, "BODIES")) ok = bodies(line);
            else if (sameName(name, "FOCUS")) ok = focus(line);
            else if (sameName(name, "MFD")) ok = display(line, rest);
            else if (sameName(name, "SHIPS")) ok = ships(line);
            else ok = unknownBlock(line, name);
        }
        ok = ok && resolveNames();
        if (ok) out_.lines.assign(lines_.begin(), lines_.end());
        if (!ok) error = error_;
        return ok;
    }

private:
    // The next line that is neither blank nor a comment.
    bool nextLine(Line& line) {
        while (nextRawLine(line))
            if (!isComment(line.text)) return true;
        return false;
    }

    bool nextRawLine(Line& line) {
        if (next_ >= lines_.size()) return false;
        line = Line{static_cast<int>(next_ + 1), trimmed(lines_[next_])};
        ++next_;
        return true;
    }

    bool fail(int line, std::string text) {
        error_ = ScenarioMessage{source_, line, std::move(text)};
        return false;
    }
    bool fail(const Line& line, std::string text) { return fail(line.number, std::move(text)); }
    void warn(const Line& line, std::string text) { warnings_.push_back(ScenarioMessage{source_, line.number, std::move(text)}); }
    bool unknownItem(const Line& line, std::string_view key) {
        warn(line, joined("unknown item ", quoted(key), " skipped"));
        return true;
    }

    // Hands each line of the block that begin opens to onLine(line, key, rest),
    // up to the block's END line. A BEGIN_ line inside the block means that its
    // END is missing.
    template <class OnLine>
    bool blockLines(const Line& begin, std::string_view name, OnLine&& onLine) {
        const std::string endKey = joined("END_", name);
        Line line;
        while (nextLine(line)) {
            std::string_view rest;
            const std::string_view key = firstWord(line.text, rest);
            if (sameName(key, endKey)) return true;
            if (startsWithName(key, "BEGIN_")) break;
            if (!onLine(line, key, rest)) return false;
        }
        return fail(begin, joined("BEGIN_", name, " has no ", endKey));
    }

    bool unknownBlock(const Line& begin, std::string_view name) {
        warn(begin, joined("unknown block BEGIN_", name, " skipped"));
        const std::string endKey = joined("END_", name);
        Line line;
        while (nextLine(line)) {
            std::string_view rest;
            if (sameName(firstWord(line.text, rest), endKey)) return true;
        }
        return fail(begin, joined("BEGIN_", name, " has no ", endKey));
    }

    // Free text, comments and blank lines included, up to END_DESC.
    bool description(const Line& begin) {
        Line line;
        bool first = out_.text.empty();
        while (nextRawLine(line)) {
            std::string_view rest;
            if (sameName(firstWord(line.text, rest), "END_DESC")) return true;
            if (!first) out_.text += '\n';
            out_.text += line.text;
            first = false;
        }
        return fail(begin, "BEGIN_DESC has no END_DESC");
    }

    bool environment(const Line& begin) {
        return blockLines(begin, "ENVIRONMENT", [&](const Line& line, std::string_view key, std::string_view rest) {
            const auto words = splitWords(rest);
            if (sameName(key, "NONSPHERICAL_GRAVITY")) {
                if (words.size() != 1 || !(sameName(words[0], "ON") || sameName(words[0], "OFF")))
                    return fail(line, "NONSPHERICAL_GRAVITY needs ON or OFF");
                out_.nonsphericalGravity = sameName(words[0], "ON");
                return true;
            }
            if (!sameName(key, "DATE")) return unknownItem(line, key);
            if (words.size() != 2 || !sameName(words[0], "MJD")) return fail(line, "DATE needs MJD and a number");
            return number(line, words[1], out_.mjd);
        });
    }

    bool bodies(const Line& begin) {
        out_.hasBodies = true;
        return blockLines(begin, "BODIES", [&](const Line& line, std::string_view key, std::string_view rest) {
            return sameName(key, "BODY") ? body(line, rest) : unknownItem(line, key);
        });
    }

    bool body(const Line& line, std::string_view rest) {
        const auto words = splitWords(rest);
        if (words.size() < 4)
            return fail(line, "BODY needs a name, GM, radius and parent ('-' for none), then for a parent the "
                              "orbit a e i theta omegab L and its epoch MJD");
        ScenarioBody entry;
        entry.line = line.number;
        entry.name = words[0];
        if (findBody(entry.name)) return fail(line, joined("body name ", quoted(entry.name), " is already taken"));
        if (!number(line, words[1], entry.gm) || !number(line, words[2], entry.radius)) return false;
        if (entry.gm <= 0.0 || entry.radius < 0.0) return fail(line, "a body needs a positive GM and a radius of 0 or more");
        if (words[3] == "-") {
            if (words.size() != 4) return fail(line, "a body fixed at the origin ('-') takes no orbit");
        } else {
            if (!findBody(words[3]))
                return fail(line, joined("unknown parent body ", quoted(words[3]), " (parents come before their satellites)"));
            if (words.size() != 11)
                return fail(line, "a body about a parent needs 7 numbers after it: a e i theta omegab L and the epoch MJD");
            entry.parent = words[3];
            double orbit[7];
            for (int i = 0; i < 7; ++i)
                if (!number(line, words[4 + i], orbit[i])) return false;
            // Other pairs (a parabola among them) have no position on the orbit.
            const double a = orbit[0], e = orbit[1];
            if (!(e >= 0.0 && e < 1.0 && a > 0.0) && !(e > 1.0 && a < 0.0))
                return fail(line, "a body's orbit needs 0 <= e < 1 and a > 0 (closed) or e > 1 and a < 0 (open)");
            entry.elements = ELEMENTS{orbit[0], orbit[1], orbit[2], orbit[3], orbit[4], orbit[5]};
            entry.epochMjd = orbit[6];
        }
        out_.bodies.push_back(std::move(entry));
        return true;
    }

    bool focus(const Line& begin) {
        out_.hasFocus = true;
        return blockLines(begin, "FOCUS", [&](const Line& line, std::string_view key, std::string_view rest) {
            if (!sameName(key, "SHIP")) return unknownItem(line, key);
            if (rest.empty()) return fail(line, "SHIP needs a vessel name");
            out_.focus = rest;
            out_.focusLine = line.number;
            return true;
        });
    }

    // TYPE and MODE, then the display's own lines up to END_MFD, which are read
    // by the display itself when it is opened.
    bool display(const Line& begin, std::string_view position) {
        if (position.empty()) return fail(begin, "BEGIN_MFD needs the display's position");
        ScenarioDisplay entry;
        entry.line = begin.number;
        entry.position = position;
        bool haveMode = false, skip = false;
        const bool ok = blockLines(begin, "MFD", [&](const Line& line, std::string_view key, std::string_view rest) {
            if (haveMode) return true;
            if (sameName(key, "TYPE")) {
                if (!sameName(rest, "User") && !skip) {
                    warn(line, joined("display type ", quoted(rest), " is not User: block skipped"));
                    skip = true;
                }
                return true;
            }
            if (!sameName(key, "MODE")) return unknownItem(line, key);
            if (rest.empty()) return fail(line, "MODE needs a mode name");
            entry.mode = rest;
            entry.modeLine = line.number;
            entry.statusStart = static_cast<std::size_t>(line.number);
            haveMode = true;
            return true;
        });
        entry.blockEnd = next_;
        if (!ok || skip) return ok;
        if (!haveMode) warn(begin, "display block without MODE skipped");
        else out_.displays.push_back(std::move(entry));
        return true;
    }

    // Each vessel: its name on a line of its own, its items, then END.
    bool ships(const Line& begin) {
        ScenarioVessel* vessel = nullptr;
        const bool ok = blockLines(begin, "SHIPS", [&](const Line& line, std::string_view key, std::string_view rest) {
            const bool end = sameName(line.text, "END");
            if (vessel) {
                if (end) vessel = nullptr;
                return end || vesselItem(*vessel, line, key, rest);
            }
            if (end) {
                warn(line, "END without a vessel skipped");
                return true;
            }
            ScenarioVessel& entry = out_.vessels.emplace_back();
            entry.line = line.number;
            entry.name = line.text;
            vessel = &entry;
            return true;
        });
        if (ok && vessel) return fail(vessel->line, joined("vessel ", quoted(vessel->name), " has no END"));
        return ok;
    }

    bool vesselItem(ScenarioVessel& v, const Line& line, std::string_view key, std::string_view rest) {
        if (sameName(key, "EMPTY_MASS")) {
            if (!numbers(line, key, rest, 1, &v.emptyMass)) return false;
            return v.emptyMass >= 0.0 || fail(line, "EMPTY_MASS must not be negative");
        }
        if (sameName(key, "REF")) {
            if (rest.empty()) return fail(line, "REF needs a body name");
            v.ref = rest;
            v.refLine = line.number;
            return true;
        }
        if (sameName(key, "RPOS")) return vector(line, key, rest, v.pos);
        if (sameName(key, "RVEL")) return vector(line, key, rest, v.vel);
        if (sameName(key, "VROT")) return vector(line, key, rest, v.angVel);
        if (sameName(key, "AROT")) {
            VECTOR3 angles{};
            if (!vector(line, key, rest, angles)) return false;
            v.rot = rotationFromAngles(angles);
            return true;
        }
        if (sameName(key, "ROT")) {
            double n[9];
            if (!numbers(line, key, rest, 9, n)) return false;
            const Mat3 rot{{{n[0], n[1], n[2]}, {n[3], n[4], n[5]}, {n[6], n[7], n[8]}}};
            if (!isRotation(rot)) return fail(line, "ROT is not a rotation matrix");
            v.rot = rot;
            return true;
        }
        if (sameName(key, "TANK")) {
            double tank[2];
            if (!numbers(line, key, rest, 2, tank)) return false;
            if (tank[0] < 0.0 || tank[1] < 0.0) return fail(line, "tank capacity and mass must not be negative");
            if (!fitsInTank(tank[0], tank[1])) return fail(line, joined("TANK: ", overfilledTankText(tank[0], tank[1])));
            v.tanks.push_back(Propellant{tank[0], tank[1]});
            return true;
        }
        if (sameName(key, "THRUSTER")) return thruster(v, line, rest);
        if (sameName(key, "GROUP")) return group(v, line, rest);
        if (sameName(key, "NAVMODE")) {
            for (std::string_view word : splitWords(rest)) {
                int mode = 0;
                if (!integer(line, word, mode)) return false;
                if (mode < 1 || mode > kNavmodeCount) return fail(line, joined("navigation mode ", quoted(word), " is not 1 to 7"));
                v.navmodes.push_back(mode);
            }
            return true;
        }
        return unknownItem(line, key);
    }

    // px py pz dx dy dz max0 isp tank level
    bool thruster(ScenarioVessel& v, const Line& line, std::string_view rest) {
        const auto words = splitWords(rest);
        if (words.size() != 10)
            return fail(line, "THRUSTER needs 10 values: position, direction, max0, isp, tank and level");
        double n[8];
        for (int i = 0; i < 8; ++i)
            if (!number(line, words[i], n[i])) return false;
        ScenarioThruster entry;
        if (!integer(line, words[8], entry.tank) || !number(line, words[9], entry.level)) return false;
        entry.pos = vec3(n[0], n[1], n[2]);
        entry.dir = vec3(n[3], n[4], n[5]);
        entry.max0 = n[6];
        entry.isp = n[7];
        const double dirLength = length(entry.dir);
        if (!(dirLength > 0.0) || !std::isfinite(dirLength)) return fail(line, "thruster direction has no length");
        if (std::abs(dirLength - 1.0) > kUnitTolerance) entry.dir = unit(entry.dir);
        if (entry.max0 < 0.0 || entry.isp < 0.0) return fail(line, "thrust and ISP must not be negative");
        if (!(entry.level >= 0.0 && entry.level <= 1.0)) return fail(line, "thrust level must lie in 0..1");
        if (entry.tank < -1 || entry.tank >= static_cast<int>(v.tanks.size()))
            return fail(line, joined("no tank ", quoted(words[8]), ": the vessel has ", std::to_string(v.tanks.size()),
                                     " (tanks come before the thrusters that use them; -1 for none)"));
        v.thrusters.push_back(entry);
        return true;
    }

    bool group(ScenarioVessel& v, const Line& line, std::string_view rest) {
        const auto words = splitWords(rest);
        int index = -1;
        for (int g = 0; g < kThrusterGroupCount; ++g)
            if (!words.empty() && sameName(words[0], kScenarioGroupNames[g])) index = g;
        if (index < 0)
            return fail(line, joined("GROUP needs MAIN, RETRO or HOVER", words.empty() ? "" : ", not ",
                                     words.empty() ? "" : quoted(words[0])));
        for (std::size_t i = 1; i < words.size(); ++i) {
            int thruster = 0;
            if (!integer(line, words[i], thruster)) return false;
            if (thruster < 0 || thruster >= static_cast<int>(v.thrusters.size()))
                return fail(line, joined("no thruster ", quoted(words[i]), ": the vessel has ",
                                         std::to_string(v.thrusters.size()), " (thrusters come before their groups)"));
            v.groups[index].push_back(thruster);
        }
        return true;
    }

    bool number(const Line& line, std::string_view word, double& v) {
        return parseNumber(word, v) || fail(line, joined(quoted(word), " is not a finite number"));
    }
    bool integer(const Line& line, std::string_view word, int& v) {
        return parseInt(word, v) || fail(line, joined(quoted(word), " is not an integer"));
    }
    bool numbers(const Line& line, std::string_view key, std::string_view rest, std::size_t count, double* out) {
        const auto words = splitWords(rest);
        if (words.size() != count)
            return fail(line, joined(key, " needs ", std::to_string(count), count == 1 ? " number" : " numbers", ", not ",
                                     std::to_string(words.size())));
        for (std::size_t i = 0; i < count; ++i)
            if (!number(line, words[i], out[i])) return false;
        return true;
    }
    bool vector(const Line& line, std::string_view key, std::string_view rest, VECTOR3& v) {
        double n[3];
        if (!numbers(line, key, rest, 3, n)) return false;
        v = vec3(n[0], n[1], n[2]);
        return true;
    }

    const ScenarioBody* findBody(std::string_view name) const {
        for (const ScenarioBody& body : out_.bodies)
            if (sameName(body.name, name)) return &body;
        return nullptr;
    }

    // Vessel names free, REF bodies and the focus vessel known, against the
    // bodies the scenario will have: its own, or the built-in ones. Names are
    // kept folded to one letter case in sets, so that a scene of n vessels
    // costs n lookups, not n^2 comparisons.
    bool resolveNames() {
        std::unordered_set<std::string> bodyNames, vesselNames;
        if (out_.hasBodies) {
            for (const ScenarioBody& body : out_.bodies) bodyNames.insert(foldedName(body.name));
        } else {
            std::size_t count = 0;
            const auto* table = builtInBodies(count);
            for (std::size_t i = 0; i < count; ++i) bodyNames.insert(foldedName(table[i].name));
        }
        for (const ScenarioVessel& vessel : out_.vessels) {
            std::string name = foldedName(vessel.name);
            if (bodyNames.contains(name) || !vesselNames.insert(std::move(name)).second)
                return fail(vessel.line, joined("name ", quoted(vessel.name), " is already taken"));
            if (!vessel.ref.empty() && !bodyNames.contains(foldedName(vessel.ref)))
                return fail(vessel.refLine, joined("unknown body ", quoted(vessel.ref)));
        }
        if (!out_.focus.empty() && !vesselNames.contains(foldedName(out_.focus)))
            return fail(out_.focusLine, joined("unknown vessel ", quoted(out_.focus)));
        return true;
    }

    const std::string& source_;
    ScenarioDescription& out_;
    std::vector<ScenarioMessage>& warnings_;
    std::vector<std::string_view> lines_;
    std::size_t next_ = 0;
    ScenarioMessage error_;
};

}  // namespace

bool parseScenario(std::string_view text, const std::string& source, ScenarioDescription& out,
                   std::vector<ScenarioMessage>& warnings, ScenarioMessage& error) {
    return Parser(text, source, out, warnings).run(error);
}

}  // namespace simhost
