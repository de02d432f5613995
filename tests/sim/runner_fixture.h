// A fixture for whole zolksim runs through the library's entry point: a fresh
// folder per test, the run's status and what it printed, and the orbit of a
// saved scenario read back by the host.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/scenario/scenario_file.h"
#include "host/world/world.h"
#include "sim/run/process_id.h"
#include "sim/run/run.h"

namespace runner_fixture {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out, err;
};

class Runner : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // The process in the name: the suites of several builds may run at once.
        folder = fs::path(::testing::TempDir()) /
                 ("zolksim_" + std::to_string(zolksim::currentProcessId()) + "_" + std::string(info->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string write(const std::string& name, const std::string& text) {
        const fs::path path = folder / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

public:
    static std::string read(const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

protected:
    Outcome run(std::vector<std::string> args) {
        args.insert(args.begin(), {"zolksim", "--module", ZOLK_MODULE_PATH, "--out", out().string()});
        std::vector<const char*> argv;
        for (const std::string& a : args) argv.push_back(a.c_str());
        std::ostringstream out, err;
        const int status = zolksim::runZolksim(static_cast<int>(argv.size()), argv.data(), out, err);
        return {status, out.str(), err.str()};
    }

    fs::path out() const { return folder / "out"; }

    // The vessel's orbit about Earth in a saved scenario, read back by the host.
    ORBITPARAM savedOrbit(const fs::path& scenario) {
        const simhost::ScenarioLoad load = simhost::loadScenarioFile(scenario.string());
        EXPECT_TRUE(load.ok) << simhost::messageText(load.error);
        simhost::Vessel* tug = simhost::world().findVessel("Ion Tug");
        ELEMENTS el{};
        ORBITPARAM prm{};
        EXPECT_NE(tug, nullptr);
        if (tug) {
            EXPECT_TRUE(tug->vesselInterface().GetElements(simhost::world().findBody("Earth"), el, &prm, 0, FRAME_ECL));
        }
        simhost::world().reset();
        return prm;
    }

    fs::path folder;
};

}  // namespace runner_fixture
