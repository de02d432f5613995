// zolksim's promises when things go wrong, with the runner as a child process:
// killed at random moments, stopped by the file size limit, an output folder
// it cannot use, scenarios that are no scenarios, stdout closed or unread. The
// output folder holds either its old files or the complete new set, never a
// part, and every failure says what happened in its message and exit status.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/sim/child_process.h"

namespace {

namespace fs = std::filesystem;
using faults::ChildResult;
using faults::ChildSetup;
using faults::Stdout;
using Files = std::map<std::string, std::string>;  // name -> content

const std::vector<std::string> kOutputNames = {"final.scn", "history.csv", "orbit.png",    "orbit.svg",
                                               "page.png",  "page.svg",    "summary.json", "summary.txt"};

// summary.json without its wall time, which varies from run to run.
std::string withoutWallTime(std::string json) {
    const std::size_t at = json.find("\n  \"wall_s\"");
    return at == std::string::npos ? json : json.erase(at, json.find('\n', at + 1) - at);
}

class Faults : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // The process in the name: the suites of several builds may run at once.
        folder = fs::path(::testing::TempDir()) /
                 ("zolksim_faults_" + std::to_string(getpid()) + "_" + std::string(info->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override {
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder);
    }

    ChildResult zolksim(std::vector<std::string> args, ChildSetup setup = {}) {
        args.insert(args.begin(), {ZOLKSIM_PATH, "--module", ZOLK_MODULE_PATH});
        setup.args = args;
        return faults::runChild(setup, (folder / "stderr.txt").string());
    }

    static std::string read(const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

    // The regular files of an output folder; staging folders are counted apart.
    static Files filesIn(const fs::path& out, int* stagingFolders = nullptr) {
        Files files;
        if (stagingFolders) *stagingFolders = 0;
        if (!fs::is_directory(out)) return files;
        for (const fs::directory_entry& entry : fs::directory_iterator(out)) {
            const std::string name = entry.path().filename().string();
            if (entry.is_directory() && name.rfind(".zolksim-staging-", 0) == 0) {
                if (stagingFolders) ++*stagingFolders;
            } else {
                files[name] = read(entry.path());
            }
        }
        return files;
    }

    static void restore(const fs::path& out, const Files& files) {
        fs::remove_all(out);
        fs::create_directories(out);
        for (const auto& [name, text] : files) std::ofstream(out / name, std::ios::binary) << text;
    }

    // The old set: a complete run of 20000 s.
    Files oldSet(const fs::path& out) {
        const ChildResult first = zolksim({"--seconds", "20000", "-q", "--out", out.string()});
        EXPECT_TRUE(first.exited && first.status == 0) << first.err;
        Files files = filesIn(out);
        EXPECT_EQ(files.size(), kOutputNames.size());
        return files;
    }

    fs::path folder;
};

// Whether files are all of the old set, or all of the new run's: the new
// run's are the reference run's, but for the summary, whose wall time varies.
enum class SetKind { Old, New, Mixed };
SetKind kindOf(const Files& files, const Files& old, const Files& reference) {
    bool allOld = files.size() == old.size(), allNew = files.size() == reference.size();
    for (const auto& [name, text] : files) {
        allOld = allOld && old.count(name) && old.at(name) == text;
        const bool isNew = name == "summary.txt"
                               ? text.rfind("Flew 0d 08:20:00 of simulated time in 30000 steps", 0) == 0
                           : name == "summary.json"
                               ? reference.count(name) && withoutWallTime(reference.at(name)) == withoutWallTime(text)
                               : reference.count(name) && reference.at(name) == text;
        allNew = allNew && isNew;
    }
    return allOld ? SetKind::Old : allNew ? SetKind::New : SetKind::Mixed;
}

TEST_F(Faults, KilledAtRandomMomentsTheFolderHoldsTheOldSetOrTheCompleteNewOne) {
    const fs::path out = folder / "out", reference = folder / "reference";
    const Files old = oldSet(out);
    const std::vector<std::string> newRun = {"--seconds", "30000", "-q", "--out", out.string()};
    std::vector<std::string> referenceRun = newRun;
    referenceRun.back() = reference.string();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(zolksim(referenceRun).status, 0);
    // The kill moments spread over a whole run and a little beyond; how long a
    // run takes only places them, it is never asserted on.
    const auto runTime = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    const Files newSet = filesIn(reference);

    // Half the kills anywhere in the run, half in its last third, where the
    // files are written and moved in.
    std::mt19937 rng(16);
    const long total = runTime.count();
    std::uniform_int_distribution<long> anywhere(0, total * 5 / 4), late(total * 2 / 3, total * 9 / 8);
    int oldKept = 0, newComplete = 0, completedLater = 0, leftStaging = 0;
    constexpr int kKills = 24;
    for (int i = 0; i < kKills; ++i) {
        restore(out, old);
        ChildSetup setup;
        setup.killAfter = std::chrono::microseconds(i % 2 ? late(rng) : anywhere(rng));
        zolksim(newRun, setup);
        int staging = 0;
        SetKind kind = kindOf(filesIn(out, &staging), old, newSet);
        leftStaging += staging;
        if (kind == SetKind::Mixed) {
            // Killed while moving the files in: the next run into the folder
            // completes the set before anything else: here one that then
            // fails, as it can write nothing.
            ChildSetup writesNothing;
            writesNothing.fileSizeLimit = 1;
            zolksim(newRun, writesNothing);
            kind = kindOf(filesIn(out), old, newSet) == SetKind::New ? SetKind::New : SetKind::Mixed;
            ++completedLater;
        }
        ASSERT_NE(kind, SetKind::Mixed) << "kill " << i << " after " << setup.killAfter->count() << " us";
        (kind == SetKind::Old ? oldKept : newComplete) += 1;
    }
    // A run that goes through clears what the killed ones left.
    ASSERT_EQ(zolksim(newRun).status, 0);
    int staging = 0;
    EXPECT_EQ(kindOf(filesIn(out, &staging), old, newSet), SetKind::New);
    EXPECT_EQ(staging, 0);
    std::printf("%d kills: old set kept %d times, new set complete %d times (%d completed by the next run); "
                "%d staging folders left behind, then cleared\n",
                kKills, oldKept, newComplete, completedLater, leftStaging);
}

// A study killed at some moment and started again flies just the cases it
// lacks, each row it had kept as it was, and ends with every case's row whole.
TEST_F(Faults, KilledStudyResumesWithTheCasesItLacks) {
    const fs::path study = folder / "study.toml", out = folder / "out";
    std::ofstream(study) << "goal = \"apoapsis >= 2300 km\"\ndays = 2\nstep = 0.25\n[vary]\nthrust = [2, 2.5, 3, 3.5, 4, 4.5, 5, 5.5]\n";
    const auto sweep = [&](ChildSetup setup) {
        setup.args = {ZOLKSIM_PATH, "sweep", study.string(), "--workers", "2", "--out", out.string(), "--module", ZOLK_MODULE_PATH};
        return faults::runChild(setup, (folder / "stderr.txt").string());
    };
    ChildSetup killed;
    killed.killAfter = std::chrono::milliseconds(700);  // a study of about 2 s on an idle machine: a third flown
    ASSERT_FALSE(sweep(killed).exited) << "the study should still be running when killed";
    Files kept = filesIn(out / "rows");
    for (const auto& [name, text] : kept) {
        if (name.find(".part-") != std::string::npos) continue;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << name << " is a whole row";
    }
    std::erase_if(kept, [](const auto& file) { return file.first.find(".part-") != std::string::npos; });
    // Marked, so that a row flown again would show: the wall time is free text.
    for (auto& [name, text] : kept) {
        text.replace(text.rfind(',') + 1, std::string::npos, "777.000\n");
        std::ofstream(out / "rows" / name, std::ios::binary) << text;
    }

    const ChildResult resumed = sweep({});
    ASSERT_TRUE(resumed.exited && resumed.status == 0) << resumed.err;
    const Files rows = filesIn(out / "rows");
    EXPECT_EQ(rows.size(), 8u) << "every case's row, and no file half written";
    for (const auto& [name, text] : kept) EXPECT_EQ(rows.at(name), text) << name << " was flown again";
    const std::string csv = read(out / "sweep.csv");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 9) << csv;
}

TEST_F(Faults, FileSizeLimitGivesAClearErrorAndLeavesTheOldSet) {
    const fs::path out = folder / "out";
    const Files old = oldSet(out);
    for (long limit : {1000L, 20000L, 100000L}) {
        ChildSetup setup;
        setup.fileSizeLimit = limit;
        const ChildResult run = zolksim({"--seconds", "30000", "-q", "--out", out.string()}, setup);
        EXPECT_TRUE(run.exited) << "limit " << limit << ": killed by signal " << run.status;
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.err.find("cannot write"), std::string::npos) << run.err;
        int staging = 0;
        EXPECT_EQ(filesIn(out, &staging), old) << "limit " << limit;
        EXPECT_EQ(staging, 0);
    }
}

TEST_F(Faults, OutputFolderThatIsAFileOrBeneathOneIsRefusedAndAMissingOneIsMade) {
    const fs::path file = folder / "a-file";
    std::ofstream(file) << "kept";
    for (const fs::path& out : {file, file / "below"}) {
        const ChildResult run = zolksim({"--seconds", "100", "-q", "--out", out.string()});
        EXPECT_TRUE(run.exited && run.status == 1) << run.err;
        EXPECT_NE(run.err.find(out.string() + ": "), std::string::npos) << run.err;
    }
    EXPECT_EQ(read(file), "kept");

    const fs::path missing = folder / "not" / "yet" / "there";
    const ChildResult run = zolksim({"--seconds", "100", "-q", "--out", missing.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(filesIn(missing).size(), kOutputNames.size());
}

TEST_F(Faults, ReadOnlyOutputFolderIsRefusedAndLeftAsItWas) {
    const fs::path out = folder / "out";
    const Files old = oldSet(out);
    // Root writes into read-only folders: as root, the run is made as nobody.
    ChildSetup setup;
    if (geteuid() == 0) {
        setup.user = 65534;
        if (zolksim({"--version"}, setup).status != 0) GTEST_SKIP() << "nobody cannot run zolksim here";
    }
    fs::permissions(out, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                             fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    const ChildResult run = zolksim({"--seconds", "100", "-q", "--out", out.string()}, setup);
    fs::permissions(out, fs::perms::owner_all);
    EXPECT_TRUE(run.exited && run.status == 1) << run.err;
    EXPECT_NE(run.err.find("cannot write in the folder"), std::string::npos) << run.err;
    EXPECT_EQ(filesIn(out), old);
}

TEST_F(Faults, ScenariosThatAreNoScenariosGiveClearErrorsInBoundedMemory) {
    const fs::path out = folder / "out";
    const fs::path empty = folder / "empty.scn", huge = folder / "huge.scn", binary = folder / "binary.scn";
    std::ofstream(empty).close();
    {
        std::ofstream text(huge);
        const std::string line(99, ';');
        for (int i = 0; i < 1000000; ++i) text << line << '\n';  // 100 MB of comments
    }
    {
        std::mt19937 rng(16);
        std::string bytes(1 << 20, '\0');
        for (char& c : bytes) c = static_cast<char>(rng());
        std::ofstream(binary, std::ios::binary) << bytes;
    }
    struct Case {
        fs::path scenario;
        std::string message;
    };
    long emptyRssKiB = 0;
    for (const Case& c : {Case{empty, "no vessel has the focus"}, Case{folder, "cannot read the file"},
                          Case{huge, "larger than a scenario may be"}, Case{binary, "no vessel has the focus"}}) {
        const ChildResult run = zolksim({c.scenario.string(), "--seconds", "100", "-q", "--out", out.string()});
        EXPECT_TRUE(run.exited && run.status == 2) << c.scenario << ": " << run.err;
        EXPECT_NE(run.err.find(c.scenario.string() + ": " + c.message), std::string::npos) << run.err;
        // Only the first warnings are shown: a screenful, not one per line.
        EXPECT_LE(std::count(run.err.begin(), run.err.end(), '\n'), 25) << c.scenario;
        // The 100 MB file is never held whole: the reader stops past 16 MiB
        // (a string of up to 32 MiB while it grows, more under AddressSanitizer),
        // so no run needs 80 MB more than the empty file's. The runner's own
        // size differs from build to build.
        if (c.scenario == empty) emptyRssKiB = run.maxRssKiB;
        EXPECT_LT(run.maxRssKiB, emptyRssKiB + 80 * 1024) << c.scenario;
        EXPECT_FALSE(fs::exists(out));
    }
}

TEST_F(Faults, ClosedOrUnreadStdoutEndsWithItsOwnStatusAndTheFilesWritten) {
    for (Stdout mode : {Stdout::Closed, Stdout::PipeWithoutReader}) {
        const fs::path out = folder / (mode == Stdout::Closed ? "closed" : "unread");
        ChildSetup setup;
        setup.out = mode;
        const ChildResult run = zolksim({"--seconds", "100", "--out", out.string()}, setup);
        EXPECT_TRUE(run.exited) << "killed by signal " << run.status;
        EXPECT_EQ(run.status, 3) << run.err;
        EXPECT_NE(run.err.find("cannot write to standard output"), std::string::npos) << run.err;
        EXPECT_EQ(filesIn(out).size(), kOutputNames.size());
    }
    // Quiet, it prints nothing, so nothing is lost.
    ChildSetup closed;
    closed.out = Stdout::Closed;
    EXPECT_EQ(zolksim({"--seconds", "100", "-q", "--out", (folder / "quiet").string()}, closed).status, 0);

    // As a shell pipes it into a reader that stops after one line.
    ChildSetup shell;
    shell.args = {"/bin/bash", "-c", "\"$0\" \"$@\" | head -1 >/dev/null; exit ${PIPESTATUS[0]}", ZOLKSIM_PATH,
                  "--module", ZOLK_MODULE_PATH, "--seconds", "100", "--out", (folder / "piped").string()};
    const ChildResult piped = faults::runChild(shell, (folder / "stderr.txt").string());
    EXPECT_TRUE(piped.exited);
    EXPECT_TRUE(piped.status == 0 || piped.status == 3) << piped.status << ": " << piped.err;
}

}  // namespace
