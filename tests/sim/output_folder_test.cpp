// The output folder: files appear only on commit, and an abandoned run leaves
// the folder as it found it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "sim/output_folder.h"

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

}  // namespace
