// Scenario files: round trips, error and warning lines, the writer and reader
// behind the scenario host calls, and the displays' status blocks.
#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include "host/world/names.h"
#include "host/scenario/scenario_file.h"
#include "host/scenario/scenario_io.h"
#include "tests/support/world_fixture.h"

namespace {

using simhost::ScenarioLoad;
using simhost::Vessel;

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + '\n';
    return text;
}

// Every number of a vessel's state but position and velocity, as bits: equal
// means equal bit for bit.
std::vector<std::uint64_t> stateBits(const Vessel& v) {
    std::vector<double> n = {v.emptyMass, v.angVel.x, v.angVel.y, v.angVel.z};
    for (const auto& row : v.rot.m) n.insert(n.end(), row, row + 3);
    for (const auto& tank : v.propellants) n.insert(n.end(), {tank->maxMass, tank->mass});
    for (const auto& t : v.thrusters)
        n.insert(n.end(), {t->pos.x, t->pos.y, t->pos.z, t->dir.x, t->dir.y, t->dir.z, t->max0, t->isp, t->level,
                           static_cast<double>(v.propellantIndex(t->resource))});
    for (int g = 0; g < simhost::kThrusterGroupCount; ++g) {
        n.push_back(-1.0);  // group separator
        for (const simhost::Thruster* t : *v.group(static_cast<THGROUP_TYPE>(g))) n.push_back(v.thrusterIndex(t));
    }
    for (int mode = 1; mode <= simhost::kNavmodeCount; ++mode) n.push_back(v.navmode(mode));
    std::vector<std::uint64_t> bits;
    for (double x : n) bits.push_back(std::bit_cast<std::uint64_t>(x));
    return bits;
}

std::vector<std::uint64_t> motionBits(const Vessel& v) {
    std::vector<std::uint64_t> bits;
    for (double x : {v.pos.x, v.pos.y, v.pos.z, v.vel.x, v.vel.y, v.vel.z}) bits.push_back(std::bit_cast<std::uint64_t>(x));
    return bits;
}

// A display mode for the tests: remembers the lines ReadStatus gets, writes three items.
class TestMfd : public MFD {
public:
    TestMfd(DWORD w, DWORD h, VESSEL* v, bool greedy = false) : MFD(w, h, v), cellAtConstruction(cw), greedy(greedy) {}
    void Update(HDC) override {}
    void WriteStatus(FILEHANDLE scn) const override {
        oapiWriteScenario_string(scn, "TARGET", target.c_str());
        oapiWriteScenario_int(scn, "PAGE", page);
        oapiWriteScenario_float(scn, "GAIN", gain);
    }
    // Stops at its block's end, as the host's own modes do, unless greedy.
    void ReadStatus(FILEHANDLE scn) override {
        cellAtRead = cw;
        char* line = nullptr;
        while (oapiReadScenario_nextline(scn, line) && (greedy || !simhost::startsWithName(line, "END_MFD")))
            read.emplace_back(line);
    }

    std::string target = "Moon";
    int page = 2;
    double gain = 0.1;
    std::vector<std::string> read;
    DWORD cellAtConstruction, cellAtRead = 0;
    bool greedy;
};

OAPI_MSGTYPE testModeProc(UINT msg, UINT, WPARAM wparam, LPARAM lparam) {
    if (msg != OAPI_MSG_MFD_OPENED) return 0;
    MFD* object = new TestMfd(wparam & 0xFFFF, (wparam >> 16) & 0xFFFF, reinterpret_cast<VESSEL*>(lparam));
    return reinterpret_cast<OAPI_MSGTYPE>(object);
}

// A mode whose displays read on to the reader's own end.
OAPI_MSGTYPE greedyModeProc(UINT msg, UINT, WPARAM wparam, LPARAM lparam) {
    if (msg != OAPI_MSG_MFD_OPENED) return 0;
    MFD* object = new TestMfd(wparam & 0xFFFF, (wparam >> 16) & 0xFFFF, reinterpret_cast<VESSEL*>(lparam), true);
    return reinterpret_cast<OAPI_MSGTYPE>(object);
}

class ScenarioFile : public WorldTest {
protected:
    ScenarioLoad load(const std::string& text) { return simhost::loadScenarioText(text, "test.scn"); }

    // A tug in low orbit with two tanks, three thrusters in two groups, a
    // navigation mode and a spin, flown a few steps with its main engine lit.
    Vessel& flyTug() {
        Vessel& tug = *w().addVessel("Tug");
        tug.emptyMass = 1234.5;
        tug.pos = earth().state.pos + vec3(6.9e6, 1.1e6, -3.0e5);
        tug.vel = earth().state.vel + vec3(-1.2e3, 7.5e3, 0.4e3);
        tug.angVel = vec3(0.01, -0.02, 0.003);
        simhost::Propellant* main = tug.addPropellant(800.0, 612.25);
        simhost::Propellant* rcs = tug.addPropellant(50.0, 0.1);
        simhost::Thruster* engine = tug.addThruster(vec3(0, 0, -2), vec3(0.01, 0, 1), 4.0e3, 3.1e3, main);
        simhost::Thruster* retro = tug.addThruster(vec3(0, 0.5, 1), vec3(0, 0.3, -1), 200.0, 2.9e3, rcs);
        tug.addThruster(vec3(1, 0, 0), vec3(-1, 0, 0), 10.0, 1.0e3, nullptr);
        tug.addToGroup(THGROUP_MAIN, engine);
        tug.addToGroup(THGROUP_RETRO, retro);
        tug.addToGroup(THGROUP_RETRO, engine);
        tug.setNavmode(NAVMODE_HLEVEL, true);
        engine->level = 0.75;
        for (int i = 0; i < 5; ++i) w().step(7.3);
        return tug;
    }
};

TEST_F(ScenarioFile, SaveLoadSaveGivesTheSameTextAndTheSameWorld) {
    w().setStartMjd(60123.456789);
    const Vessel& tug = flyTug();
    Vessel& probe = *w().addVessel("Deep Probe");  // heliocentric, far from every body
    probe.pos = vec3(-2.0e11, 1.0e11 / 3.0, 1.0e-3);
    probe.vel = vec3(1.0e4, -2.0e4, 0.1);
    probe.rot = simhost::rotationFromAngles(vec3(1.0, -0.5, 2.5));
    w().setFocus(&probe);
    const auto tugBits = stateBits(tug), probeBits = stateBits(probe);
    const VECTOR3 tugPos = tug.pos, tugVel = tug.vel;
    const auto probeMotion = motionBits(probe);
    const double mjd = w().mjd();

    const std::string first = simhost::saveScenarioText();
    const ScenarioLoad loaded = load(first);
    ASSERT_TRUE(loaded.ok) << simhost::messageText(loaded.error);
    EXPECT_TRUE(loaded.warnings.empty());
    ASSERT_EQ(w().vessels().size(), 2u);
    const Vessel& tugAgain = *w().findVessel("Tug");
    const Vessel& probeAgain = *w().findVessel("Deep Probe");
    EXPECT_EQ(stateBits(tugAgain), tugBits);
    EXPECT_EQ(stateBits(probeAgain), probeBits);
    // Relative to Earth the last bit may go; relative to the Sun at the origin nothing does.
    for (auto [again, before] : {std::pair{tugAgain.pos, tugPos}, std::pair{tugAgain.vel, tugVel}}) {
        EXPECT_DOUBLE_EQ(again.x, before.x);
        EXPECT_DOUBLE_EQ(again.y, before.y);
        EXPECT_DOUBLE_EQ(again.z, before.z);
    }
    EXPECT_EQ(motionBits(probeAgain), probeMotion);
    EXPECT_EQ(w().focus(), w().findVessel("Deep Probe"));
    EXPECT_EQ(w().mjd(), mjd);
    EXPECT_EQ(w().simTime(), 0.0);
    EXPECT_EQ(simhost::saveScenarioText(), first);
    EXPECT_NE(first.find("\nTug\n  EMPTY_MASS 1234.5\n  REF Earth\n"), std::string::npos) << first;
    EXPECT_NE(first.find("  GROUP RETRO 1 0\n"), std::string::npos);
    EXPECT_NE(first.find("  NAVMODE 2\n"), std::string::npos);
}

TEST_F(ScenarioFile, BodiesRoundTripAndDefaultToTheBuiltInOnes) {
    w().reset();
    ASSERT_NE(w().addBody("Kerbol", 1.1723328e18, 2.616e8, nullptr, ELEMENTS{}, 0.0), nullptr);
    ASSERT_NE(w().addBody("Kerbin", 3.5316e12, 6.0e5, "Kerbol", ELEMENTS{1.3599840256e10, 0.01, 0.1, 0.2, 0.3, 0.4}, 51000.0), nullptr);
    ASSERT_NE(w().addBody("Mun", 6.5138398e10, 2.0e5, "Kerbin", ELEMENTS{1.2e7, 0.0, 0.0, 0.0, 0.0, 1.7}, 51000.0), nullptr);
    const std::string saved = simhost::saveScenarioText("Custom system\n  second line");
    auto numbers = [](const simhost::BodyOrbit& o) {
        const ELEMENTS& e = o.elements;
        return std::vector<double>{double(o.parent), o.gm, e.a, e.e, e.i, e.theta, e.omegab, e.L, o.epochMjd};
    };
    std::vector<std::vector<double>> orbits;
    for (const auto& orbit : w().orbits()) orbits.push_back(numbers(orbit));

    const ScenarioLoad loaded = load(saved);
    ASSERT_TRUE(loaded.ok);
    ASSERT_EQ(w().bodies().size(), 3u);
    EXPECT_EQ(w().bodies()[2]->name, "Mun");
    for (std::size_t i = 0; i < orbits.size(); ++i) EXPECT_EQ(numbers(w().orbits()[i]), orbits[i]);
    EXPECT_EQ(w().findBody("Earth"), nullptr);
    EXPECT_EQ(loaded.description, "Custom system\nsecond line");  // lines are trimmed
    EXPECT_EQ(simhost::saveScenarioText(loaded.description), saved);

    // An empty world keeps no bodies; a file without a BODIES block has the built-in ones.
    w().reset();
    ASSERT_TRUE(load(simhost::saveScenarioText()).ok);
    EXPECT_TRUE(w().bodies().empty());
    ASSERT_TRUE(load("").ok);
    EXPECT_EQ(w().bodies().size(), 6u);
    EXPECT_EQ(w().mjd(), simhost::kJ2000Mjd);
}

TEST_F(ScenarioFile, NumbersReadBackBitForBit) {
    const ScenarioLoad loaded = load(joinLines({"BEGIN_SHIPS", "Tug", "  EMPTY_MASS 0.1",
                                                "  TANK 123456789.123456789 1e-300",
                                                "  VROT 5e-324 -0 +2.2250738585072014e-308", "END", "END_SHIPS"}));
    ASSERT_TRUE(loaded.ok) << simhost::messageText(loaded.error);
    const Vessel& tug = *w().findVessel("Tug");
    EXPECT_EQ(tug.emptyMass, 0.1);
    EXPECT_EQ(tug.propellants[0]->maxMass, 123456789.123456789);
    EXPECT_EQ(tug.propellants[0]->mass, 1e-300);
    EXPECT_EQ(tug.angVel.x, 5e-324);
    EXPECT_TRUE(std::signbit(tug.angVel.y));
    const std::string saved = simhost::saveScenarioText();
    EXPECT_NE(saved.find("\n  EMPTY_MASS 0.1\n"), std::string::npos);
    EXPECT_NE(saved.find("\n  TANK 123456789.12345679 1e-300\n"), std::string::npos);
    EXPECT_NE(saved.find("\n  VROT 5e-324 -0 2.2250738585072014e-308\n"), std::string::npos);
}

TEST_F(ScenarioFile, HandWrittenScenarioWithCommentsCaseAndSkippedLines) {
    const ScenarioLoad loaded = load(joinLines({
        "; a comment before anything",     // 1
        "BEGIN_DESC",                      // 2
        "Free text; kept",                 // 3
        "END_DESC",                        // 4
        "NOT_A_BLOCK 1",                   // 5
        "BEGIN_CAMERA",                    // 6
        "  TARGET Earth",                  // 7
        "END_CAMERA",                      // 8
        "begin_environment",               // 9
        "  date mjd 60000.25",             // 10
        "  CONTEXT x",                     // 11
        "end_environment",                 // 12
        "",                                // 13
        "BEGIN_SHIPS",                     // 14
        "Tug",                             // 15
        "  ref earth",                     // 16
        "\t rpos 7000000 0 0  ",           // 17
        "  COLOUR red",                    // 18
        "  ; EMPTY_MASS 5",                // 19
        "end",                             // 20
        "END",                             // 21
        "Probe",                           // 22
        "  RPOS 1e11 2e10 -3e9",           // 23
        "  AROT 0.1 -0.2 0.3",             // 24
        "  THRUSTER 0 0 0 0 0 2 100 3000 -1 0.5",  // 25
        "END",                             // 26
        "END_SHIPS",                       // 27
    }));
    ASSERT_TRUE(loaded.ok) << simhost::messageText(loaded.error);
    EXPECT_EQ(loaded.description, "Free text; kept");
    std::vector<int> warningLines;
    for (const auto& warning : loaded.warnings) warningLines.push_back(warning.line);
    EXPECT_EQ(warningLines, (std::vector<int>{5, 6, 11, 18, 21}));
    EXPECT_EQ(simhost::messageText(loaded.warnings[3]), "test.scn:18: unknown item 'COLOUR' skipped");

    EXPECT_EQ(w().mjd(), 60000.25);
    const Vessel& tug = *w().findVessel("Tug");
    EXPECT_EQ(w().focus(), &tug);  // the first vessel when FOCUS is absent
    EXPECT_EQ(tug.pos.x, earth().state.pos.x + 7.0e6);
    EXPECT_EQ(tug.vel.y, earth().state.vel.y);  // no RVEL: at rest relative to REF
    EXPECT_EQ(tug.emptyMass, 0.0);
    const Vessel& probe = *w().findVessel("Probe");
    EXPECT_EQ(probe.pos.z, -3e9);  // no REF: global
    EXPECT_EQ(probe.vel.x, 0.0);
    EXPECT_EQ(probe.rot.m[1][2], simhost::rotationFromAngles(vec3(0.1, -0.2, 0.3)).m[1][2]);
    EXPECT_EQ(probe.thrusters[0]->dir.z, 1.0);  // normalised
    EXPECT_EQ(probe.thrusters[0]->resource, nullptr);
    EXPECT_EQ(probe.thrusters[0]->level, 0.5);
}

TEST_F(ScenarioFile, MalformedLinesAreErrorsWithTheirLineAndLeaveTheWorldAlone) {
    struct Case {
        std::vector<std::string> lines;
        int line;
        std::string text;
    };
    const Case cases[] = {
        {{"BEGIN_SHIPS", "Tug", "  RPOS 1 2", "END", "END_SHIPS"}, 3, "RPOS needs 3 numbers, not 2"},
        {{"BEGIN_SHIPS", "Tug", "  EMPTY_MASS 12kg", "END", "END_SHIPS"}, 3, "'12kg' is not a finite number"},
        {{"BEGIN_SHIPS", "Tug", "  RVEL 0 nan 0", "END", "END_SHIPS"}, 3, "'nan' is not a finite number"},
        {{"BEGIN_SHIPS", "Tug", "  REF Pluto", "END", "END_SHIPS"}, 3, "unknown body 'Pluto'"},
        {{"BEGIN_SHIPS", "Tug", "  TANK 100 50", "  THRUSTER 0 0 0 0 0 1 1e3 3e3 1 0", "END", "END_SHIPS"}, 4, "no tank '1'"},
        {{"BEGIN_SHIPS", "Tug", "  GROUP MAIN 0", "END", "END_SHIPS"}, 3, "no thruster '0'"},
        {{"BEGIN_SHIPS", "Tug", "  GROUP SIDEWAYS", "END", "END_SHIPS"}, 3, "GROUP needs MAIN, RETRO or HOVER"},
        {{"BEGIN_SHIPS", "Tug", "  NAVMODE 3 8", "END", "END_SHIPS"}, 3, "navigation mode '8' is not 1 to 7"},
        {{"BEGIN_SHIPS", "Tug", "END", "tug", "END", "END_SHIPS"}, 4, "name 'tug' is already taken"},
        {{"BEGIN_SHIPS", "Moon", "END", "END_SHIPS"}, 2, "name 'Moon' is already taken"},
        {{"BEGIN_SHIPS", "mOON", "END", "END_SHIPS"}, 2, "name 'mOON' is already taken"},
        {{"BEGIN_SHIPS", "Tug", "  EMPTY_MASS 1", "END_SHIPS"}, 2, "vessel 'Tug' has no END"},
        {{"BEGIN_SHIPS", "Tug", "END", "BEGIN_FOCUS", "  SHIP Tug", "END_FOCUS"}, 1, "BEGIN_SHIPS has no END_SHIPS"},
        {{"", "BEGIN_CAMERA", "  MODE Extern"}, 2, "BEGIN_CAMERA has no END_CAMERA"},
        {{"BEGIN_FOCUS", "  SHIP Ghost", "END_FOCUS"}, 2, "unknown vessel 'Ghost'"},
        {{"BEGIN_ENVIRONMENT", "  DATE JD 2451545", "END_ENVIRONMENT"}, 2, "DATE needs MJD and a number"},
        {{"BEGIN_ENVIRONMENT", "  NONSPHERICAL_GRAVITY 1", "END_ENVIRONMENT"}, 2, "NONSPHERICAL_GRAVITY needs ON or OFF"},
        {{"BEGIN_BODIES", "  BODY Sun 1e20 7e8 -", "  BODY Rock 1e14 6e6 Vulcan 1e11 0 0 0 0 0 51544.5", "END_BODIES"},
         3, "unknown parent body 'Vulcan'"},
        {{"BEGIN_BODIES", "  BODY Sun 1e20 7e8 -", "  BODY Rock 1e14 6e6 Sun 1e11 0 0 0 0 0", "END_BODIES"}, 3,
         "needs 7 numbers"},
        // Orbits without a position on them: a parabola, a negative e, a and e at odds.
        {{"BEGIN_BODIES", "  BODY Sun 1 0 -", "  BODY h 3 0 Sun 2 1 0 0 1 0 5", "END_BODIES"}, 3, "a body's orbit needs"},
        {{"BEGIN_BODIES", "  BODY Sun 1e20 7e8 -", "  BODY Rock 1e14 6e6 Sun 1e11 -0.1 0 0 0 0 51544.5", "END_BODIES"},
         3, "a body's orbit needs"},
        {{"BEGIN_BODIES", "  BODY Sun 1e20 7e8 -", "  BODY Rock 1e14 6e6 Sun -1e11 0.5 0 0 0 0 51544.5", "END_BODIES"},
         3, "a body's orbit needs"},
        {{"BEGIN_BODIES", "  BODY Sun 1e20 7e8 -", "  BODY Rock 1e14 6e6 Sun 1e11 2 0 0 0 0 51544.5", "END_BODIES"},
         3, "a body's orbit needs"},
        // A semi-major axis of exactly 0 collapses the orbit to a point for either shape.
        {{"BEGIN_BODIES", "  BODY Sun 1e20 7e8 -", "  BODY Rock 1e14 6e6 Sun 0 0.5 0 0 0 0 51544.5", "END_BODIES"},
         3, "a body's orbit needs"},
        {{"BEGIN_BODIES", "  BODY Sun 1e20 7e8 -", "  BODY Rock 1e14 6e6 Sun 0 2 0 0 0 0 51544.5", "END_BODIES"},
         3, "a body's orbit needs"},
        // Names resolve against the file's own bodies, wherever its BODIES block stands.
        {{"BEGIN_SHIPS", "Tug", "  REF Earth", "END", "END_SHIPS", "BEGIN_BODIES", "  BODY Sun 1e20 7e8 -", "END_BODIES"},
         3, "unknown body 'Earth'"},
    };
    Vessel* keep = w().addVessel("Keep");
    keep->emptyMass = 42.0;
    w().setFocus(keep);
    w().setStartMjd(60000.0);
    for (const Case& c : cases) {
        const ScenarioLoad loaded = simhost::loadScenarioText(joinLines(c.lines), "bad.scn");
        EXPECT_FALSE(loaded.ok) << c.text;
        EXPECT_EQ(loaded.error.file, "bad.scn");
        EXPECT_EQ(loaded.error.line, c.line) << c.text << " / " << loaded.error.text;
        EXPECT_NE(loaded.error.text.find(c.text), std::string::npos) << loaded.error.text;
        EXPECT_EQ(simhost::messageText(loaded.error).rfind("bad.scn:" + std::to_string(c.line) + ": ", 0), 0u);
        ASSERT_EQ(w().vessels().size(), 1u);
        EXPECT_EQ(w().vessels()[0].get(), keep);
        EXPECT_EQ(w().focus(), keep);
        EXPECT_EQ(w().mjd(), 60000.0);
        EXPECT_EQ(w().bodies().size(), 6u);
    }
}

// Nonspherical gravity is on unless the scenario turns it off, and a saved
// scenario keeps it off.
TEST_F(ScenarioFile, NonsphericalGravitySwitchLoadsAndSaves) {
    ASSERT_TRUE(simhost::loadScenarioText(joinLines({"BEGIN_ENVIRONMENT", "  nonspherical_gravity off",
                                                     "END_ENVIRONMENT"}), "off.scn").ok);
    EXPECT_FALSE(w().nonsphericalGravity());
    const std::string saved = simhost::saveScenarioText();
    EXPECT_NE(saved.find("  NONSPHERICAL_GRAVITY OFF\n"), std::string::npos);
    ASSERT_TRUE(simhost::loadScenarioText(joinLines({"BEGIN_ENVIRONMENT", "  DATE MJD 60000", "END_ENVIRONMENT"}),
                                          "on.scn").ok);
    EXPECT_TRUE(w().nonsphericalGravity());
    EXPECT_EQ(simhost::saveScenarioText().find("NONSPHERICAL_GRAVITY"), std::string::npos);
    ASSERT_TRUE(simhost::loadScenarioText(saved, "saved.scn").ok);
    EXPECT_FALSE(w().nonsphericalGravity());
}

// Closed and open orbits both place their bodies, and the text saves and loads.
TEST_F(ScenarioFile, BodiesOnClosedAndOpenOrbitsHaveFiniteStates) {
    const ScenarioLoad loaded = load(joinLines({"BEGIN_BODIES", "  BODY Sun 1.3e20 7e8 -",
                                                "  BODY Rock 1e14 6e6 Sun 1e11 0.999 0 0 0 0 51544.5",
                                                "  BODY Comet 1e10 5e3 Sun -1e11 1.001 0.3 0 0 0 51544.5", "END_BODIES"}));
    ASSERT_TRUE(loaded.ok) << simhost::messageText(loaded.error);
    for (int i = 0; i < 3; ++i) w().step(86400.0);
    for (const auto& body : w().bodies())
        EXPECT_TRUE(std::isfinite(body->state.pos.x + body->state.pos.y + body->state.pos.z)) << body->name;
    const std::string saved = simhost::saveScenarioText();
    ASSERT_TRUE(load(saved).ok);
    EXPECT_EQ(simhost::saveScenarioText(), saved);
}

TEST_F(ScenarioFile, WriterLinesAreTwoSpacesKeySpaceValue) {
    simhost::ScenarioWriter writer;
    simhost::setTraceEnabled(true);
    oapiWriteScenario_int(writer.handle(), "PAGE", -3);
    oapiWriteScenario_float(writer.handle(), "GAIN", 123456789.123456789);
    oapiWriteScenario_float(writer.handle(), "TINY", 1e-300);
    // Six decimals, trailing zeros cut, a lone point given a zero.
    for (double value : {1234.56789, 250000.0, 0.1, -2.5, 0.0000004, 0.0000006, -0.0})
        oapiWriteScenario_float(writer.handle(), "F", value);
    oapiWriteScenario_string(writer.handle(), "TARGET", "Moon base\nEND_MFD");
    oapiWriteScenario_string(writer.handle(), "EMPTY", nullptr);
    oapiWriteScenario_int(writer.handle(), static_cast<char*>(nullptr), 1);
    oapiWriteScenario_int(nullptr, "PAGE", 1);
    simhost::ScenarioReader reader({});
    oapiWriteScenario_int(reader.handle(), "PAGE", 1);
    EXPECT_EQ(writer.text(),
              "  PAGE -3\n  GAIN 123456789.123457\n  TINY 0.0\n"
              "  F 1234.56789\n  F 250000.0\n  F 0.1\n  F -2.5\n  F 0.0\n  F 0.000001\n  F -0.0\n"
              "  TARGET Moon base END_MFD\n  EMPTY \n");
    EXPECT_EQ(simhost::traceCount("oapiWriteScenario_float"), 9);
    EXPECT_EQ(simhost::traceEntries()[1], "oapiWriteScenario_float(GAIN, 123456789.12345679)");
}

TEST_F(ScenarioFile, ReaderHandsOutTrimmedLinesUntilTheEnd) {
    simhost::ScenarioReader reader({"  TARGET   Moon base \t", "PAGE 3", "\r"});
    char* line = nullptr;
    ASSERT_TRUE(oapiReadScenario_nextline(reader.handle(), line));
    EXPECT_STREQ(line, "TARGET   Moon base");
    ASSERT_TRUE(oapiReadScenario_nextline(reader.handle(), line));
    EXPECT_STREQ(line, "PAGE 3");
    ASSERT_TRUE(oapiReadScenario_nextline(reader.handle(), line));
    EXPECT_STREQ(line, "");
    EXPECT_FALSE(oapiReadScenario_nextline(reader.handle(), line));
    EXPECT_FALSE(oapiReadScenario_nextline(reader.handle(), line));

    simhost::ScenarioWriter writer;
    EXPECT_FALSE(oapiReadScenario_nextline(nullptr, line));
    EXPECT_FALSE(oapiReadScenario_nextline(writer.handle(), line));
}

TEST_F(ScenarioFile, ReaderStopsAtEndInAnyCaseAndAtTheFilesEnd) {
    simhost::ScenarioReader reader({"END_MFD", "  end ", "BEGIN_SHIPS", "Endless", "End", "x"});
    char* line = nullptr;
    std::vector<std::string> lines;
    std::vector<bool> results;
    for (int i = 0; i < 7; ++i) {
        results.push_back(oapiReadScenario_nextline(reader.handle(), line));
        lines.emplace_back(line);
    }
    // END_MFD does not stop it; END does, handed out all the same, and the next
    // call reads on from the line after it. At the file's end the line stays.
    EXPECT_EQ(results, (std::vector<bool>{true, false, true, true, false, true, false}));
    EXPECT_EQ(lines, (std::vector<std::string>{"END_MFD", "end", "BEGIN_SHIPS", "Endless", "End", "x", "x"}));
    EXPECT_EQ(reader.linesRead(), 6u);
}

TEST_F(ScenarioFile, FilesAreReplacedWholeAndUnreadableOnesNamed) {
    // A folder of its own: builds of several configurations may run their tests at once.
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("scenario_file_test_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "saved.scn").string();
    { std::ofstream(path) << "old contents that are longer than nothing"; }
    flyTug();
    std::string error;
    ASSERT_TRUE(simhost::saveScenarioFile(path, error)) << error;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
    const std::string saved = simhost::saveScenarioText();
    const ScenarioLoad loaded = simhost::loadScenarioFile(path);
    ASSERT_TRUE(loaded.ok) << simhost::messageText(loaded.error);
    EXPECT_EQ(simhost::saveScenarioText(), saved);

    const std::string missing = (dir / "missing.scn").string();
    const ScenarioLoad failed = simhost::loadScenarioFile(missing);
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(simhost::messageText(failed.error), missing + ": cannot read the file");
    EXPECT_FALSE(simhost::loadScenarioFile(dir.string()).ok);
    EXPECT_FALSE(simhost::saveScenarioFile((dir / "no" / "such" / "dir.scn").string(), error));
    EXPECT_NE(w().findVessel("Tug"), nullptr);
    std::filesystem::remove_all(dir);
}

#ifndef _WIN32
// A save that cannot be written whole (the file-size limit here; a full disk
// fails the same write) reports the failure and leaves the file it would have
// replaced as it was, with nothing half-written beside it. The limit is set in
// a child process so that it binds nothing else.
TEST_F(ScenarioFile, ASaveThatCannotBeWrittenLeavesThePreviousFileWhole) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("scenario_save_limit_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "saved.scn").string();
    const std::string previous = "BEGIN_ENVIRONMENT\n  DATE MJD 60000\nEND_ENVIRONMENT\n";
    { std::ofstream(path, std::ios::binary) << previous; }
    flyTug();
    ASSERT_GT(simhost::saveScenarioText().size(), 256u);  // the limit below cuts it short
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);  // the write then fails with EFBIG instead of killing the process
        const rlimit limit{256, 256};   // bytes a file may grow to
        std::string error;
        const bool refused = setrlimit(RLIMIT_FSIZE, &limit) == 0 && !simhost::saveScenarioFile(path, error);
        _exit(refused ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the save did not report its failure";
    std::ostringstream kept;
    kept << std::ifstream(path, std::ios::binary).rdbuf();
    EXPECT_EQ(kept.str(), previous);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
    std::filesystem::remove_all(dir);
}
#endif

class ScenarioDisplays : public ScenarioFile {
protected:
    void SetUp() override {
        ScenarioFile::SetUp();
        w().cockpit().registerMode(modeSpec("TestMode", 0x20, testModeProc));
        w().cockpit().registerMode(modeSpec("Greedy", 0x21, greedyModeProc));
    }
    TestMfd* shown(const char* position) {
        const simhost::Display* display = w().cockpit().display(position);
        return display ? dynamic_cast<TestMfd*>(display->object()) : nullptr;
    }
};

TEST_F(ScenarioDisplays, StatusLinesReachTheDisplayAndUnknownModesAreSkipped) {
    const ScenarioLoad loaded = load(joinLines({
        "BEGIN_SHIPS", "Tug", "END", "END_SHIPS",  // 1-4
        "BEGIN_MFD Right Upper",                   // 5
        "  type user",                             // 6
        "  mode testmode",                         // 7
        "    TARGET   Deimos  ",                   // 8
        "  ; a comment",                           // 9
        "  PAGE 3",                                // 10
        "END_MFD",                                 // 11
        "BEGIN_MFD Left",                          // 12
        "  TYPE User",                             // 13
        "  MODE NoSuchMode",                       // 14
        "  PAGE 1",                                // 15
        "END_MFD",                                 // 16
        "BEGIN_MFD Top",                           // 17
        "  TYPE Glass",                            // 18
        "  MODE TestMode",                         // 19
        "END_MFD",                                 // 20
    }));
    ASSERT_TRUE(loaded.ok) << simhost::messageText(loaded.error);
    TestMfd* right = shown("Right Upper");
    ASSERT_NE(right, nullptr);
    // The display reads the file's own lines, comments included, after it has
    // been given its character cell.
    EXPECT_EQ(right->read, (std::vector<std::string>{"TARGET   Deimos", "; a comment", "PAGE 3"}));
    EXPECT_EQ(right->cellAtConstruction, 0u);
    EXPECT_EQ(right->cellAtRead, 15u);
    EXPECT_EQ(w().cockpit().displays().size(), 1u);
    ASSERT_EQ(loaded.warnings.size(), 2u);
    EXPECT_EQ(loaded.warnings[0].line, 18);  // TYPE Glass, found while parsing
    EXPECT_EQ(simhost::messageText(loaded.warnings[1]), "test.scn:14: unknown display mode 'NoSuchMode': block skipped");
}

TEST_F(ScenarioDisplays, ADisplayReadingPastItsBlockTakesTheNextBlockWithIt) {
    const ScenarioLoad loaded = load(joinLines({
        "BEGIN_MFD Left", "  TYPE User", "  MODE Greedy", "  PAGE 1", "END_MFD",  // 1-5
        "BEGIN_MFD Right", "  TYPE User", "  MODE TestMode", "  PAGE 2", "END_MFD",  // 6-10
        "BEGIN_SHIPS", "Tug", "END", "Probe", "END", "END_SHIPS",  // 11-16
    }));
    ASSERT_TRUE(loaded.ok) << simhost::messageText(loaded.error);
    // The greedy display reads to the first END: the right display's block among it.
    ASSERT_NE(shown("Left"), nullptr);
    EXPECT_EQ(shown("Left")->read, (std::vector<std::string>{"PAGE 1", "END_MFD", "BEGIN_MFD Right", "TYPE User",
                                                             "MODE TestMode", "PAGE 2", "END_MFD", "BEGIN_SHIPS",
                                                             "Tug"}));
    EXPECT_EQ(shown("Right"), nullptr);
    ASSERT_EQ(loaded.warnings.size(), 1u);
    EXPECT_EQ(simhost::messageText(loaded.warnings[0]),
              "test.scn:6: display block read by the display before it: skipped");
    // The vessels are the host's own reading of the file: both are there.
    EXPECT_EQ(w().vessels().size(), 2u);
}

TEST_F(ScenarioDisplays, WriteStatusLinesLandInTheSavedBlock) {
    flyTug();
    w().setFocus(w().findVessel("Tug"));
    ASSERT_NE(w().cockpit().openDisplay("Left", "TestMode"), nullptr);
    shown("Left")->gain = 1e-300;
    const std::string saved = simhost::saveScenarioText();
    const std::string block = "BEGIN_MFD Left\n  TYPE User\n  MODE TestMode\n  TARGET Moon\n  PAGE 2\n  GAIN 0.0\nEND_MFD\n";
    EXPECT_NE(saved.find(block), std::string::npos) << saved;

    ASSERT_TRUE(load(saved).ok);
    ASSERT_NE(shown("Left"), nullptr);
    EXPECT_EQ(shown("Left")->read, (std::vector<std::string>{"TARGET Moon", "PAGE 2", "GAIN 0.0"}));
}

}  // namespace
