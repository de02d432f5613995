// The output folder: files appear only on commit, and an abandoned run leaves
// the folder as it found it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "sim/output/output_folder.h"
#include "sim/run/process_id.h"

namespace {

namespace fs = std::filesystem;

std::size_t entries(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator{}));
}

TEST(OutputFolder, CommitMovesStagedFilesInAndAbandonLeavesNothing) {
    const fs::path root = fs::path(::testing::TempDir()) / "zolksim_output_folder";
    fs::remove_all(root);
    std::string error;
    {
        zolksim::OutputFolder folder;
        ASSERT_TRUE(folder.open((root / "new").string(), error)) << error;
        std::ofstream(folder.stage("a.txt")) << "a";
        EXPECT_FALSE(fs::exists(root / "new" / "a.txt"));
    }  // abandoned: the folder it made is gone again
    EXPECT_FALSE(fs::exists(root / "new"));

    fs::create_directories(root / "kept");
    std::ofstream(root / "kept" / "a.txt") << "old";
    std::ofstream(root / "kept" / "mine.txt") << "mine";
    {
        zolksim::OutputFolder folder;
        ASSERT_TRUE(folder.open((root / "kept").string(), error));
        std::ofstream(folder.stage("a.txt")) << "new";
        folder.stage("never-written.txt");
        ASSERT_TRUE(folder.commit(error)) << error;
        EXPECT_EQ(folder.committed(), std::vector<std::string>{"a.txt"});
    }
    std::string text;
    std::ifstream(root / "kept" / "a.txt") >> text;
    EXPECT_EQ(text, "new");
    EXPECT_EQ(entries(root / "kept"), 2u);

    std::ofstream(root / "file") << "x";
    zolksim::OutputFolder onAFile;
    EXPECT_FALSE(onAFile.open((root / "file").string(), error));
    EXPECT_NE(error.find("not a folder"), std::string::npos);
    fs::remove_all(root);
}

// Runs killed midway leave their staging folders; the next run into the folder
// completes the one killed while moving its files in and removes the rest, but
// leaves the folders of runs still going.
TEST(OutputFolder, LeftoversOfKilledRunsAreCompletedOrRemoved) {
    const fs::path root = fs::path(::testing::TempDir()) /
                          ("zolksim_output_leftovers_" + std::to_string(zolksim::currentProcessId()));
    fs::remove_all(root);
    fs::create_directories(root);
    auto write = [](const fs::path& path, const char* text) {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text;
    };
    auto read = [](const fs::path& path) {
        std::string text;
        std::ifstream(path) >> text;
        return text;
    };
    write(root / "a.txt", "new");  // moved in before the kill
    write(root / "b.txt", "old");
    const fs::path committing = root / ".zolksim-staging-2147483647-1";  // no process has this identifier
    write(committing / ".commit", "");
    write(committing / "b.txt", "new");
    const fs::path writing = root / ".zolksim-staging-2147483646-2";
    write(writing / "c.txt", "partial");
    const fs::path running = root / (".zolksim-staging-" + std::to_string(zolksim::currentProcessId()) + "-3");
    write(running / "d.txt", "going");

    std::string error;
    zolksim::OutputFolder folder;
    ASSERT_TRUE(folder.open(root.string(), error)) << error;
    EXPECT_EQ(read(root / "b.txt"), "new");
    EXPECT_FALSE(fs::exists(committing));
    EXPECT_FALSE(fs::exists(writing));
    EXPECT_FALSE(fs::exists(root / "c.txt"));
    EXPECT_EQ(read(running / "d.txt"), "going");
    folder.abandon();
    fs::remove_all(root);
}

}  // namespace
