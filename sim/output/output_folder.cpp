#include "sim/output/output_folder.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string_view>
#include <system_error>

#include "sim/run/process_id.h"

namespace zolksim {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kStagingPrefix = ".zolksim-staging-";
// Written into the staging folder before its files are moved: from then on
// the new set is the one to complete.
constexpr const char* kCommitMark = ".commit";

// Moves every file of staging but the mark into folder, replacing files of the
// same name; the names moved go to moved.
bool moveInto(const fs::path& staging, const fs::path& folder, const std::vector<std::string>& names,
              std::vector<std::string>& moved, std::string& error) {
    std::error_code ec;
    for (const std::string& name : names) {
        const fs::path from = staging / name;
        if (!fs::exists(from, ec)) continue;
        fs::rename(from, folder / name, ec);
        if (ec) {
            error = (folder / name).string() + ": cannot move the file into place (" + ec.message() + ")";
            return false;
        }
        moved.push_back(name);
    }
    return true;
}

// The staging folders of runs that no longer run: one killed while moving its
// files in is completed, any other removed.
void settleLeftovers(const fs::path& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(kStagingPrefix, 0) != 0) continue;
        const long id = std::strtol(name.c_str() + kStagingPrefix.size(), nullptr, 10);
        if (processRuns(id)) continue;
        std::error_code ignored;
        if (fs::exists(it->path() / kCommitMark, ignored)) {
            std::vector<std::string> names, moved;
            for (const fs::directory_entry& file : fs::directory_iterator(it->path(), ignored))
                if (file.path().filename() != kCommitMark) names.push_back(file.path().filename().string());
            std::sort(names.begin(), names.end());
            std::string error;
            if (!moveInto(it->path(), folder, names, moved, error)) continue;  // tried again by the next run
        }
        fs::remove_all(it->path(), ignored);
    }
}

}  // namespace

OutputFolder::~OutputFolder() { abandon(); }

bool OutputFolder::open(const std::string& folder, std::string& error) {
    std::error_code ec;
    folder_ = fs::path(folder);
    const bool existed = fs::exists(folder_, ec);
    if (existed && !fs::is_directory(folder_, ec)) {
        error = folder + ": exists and is not a folder";
        return false;
    }
    if (!existed) {
        if (!fs::create_directories(folder_, ec)) {
            error = folder + ": cannot create the folder (" + ec.message() + ")";
            return false;
        }
        createdFolder_ = true;
    }
    settleLeftovers(folder_);
    // A name of its own per run, so two runs into one folder do not collide.
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    staging_ = folder_ / (std::string(kStagingPrefix) + std::to_string(currentProcessId()) + "-" + std::to_string(stamp));
    if (!fs::create_directory(staging_, ec)) {
        error = folder + ": cannot write in the folder (" + ec.message() + ")";
        abandon();
        return false;
    }
    open_ = true;
    return true;
}

std::string OutputFolder::stage(const std::string& name) {
    if (std::find(staged_.begin(), staged_.end(), name) == staged_.end()) staged_.push_back(name);
    return (staging_ / name).string();
}

bool OutputFolder::commit(std::string& error) {
    std::error_code ec;
    // Once marked, a run killed while moving is completed by the next run.
    std::ofstream(staging_ / kCommitMark).close();
    if (!moveInto(staging_, folder_, staged_, committed_, error)) return false;
    fs::remove_all(staging_, ec);
    open_ = false;
    createdFolder_ = false;  // it now holds the run's files
    return true;
}

void OutputFolder::abandon() {
    std::error_code ec;
    if (open_) fs::remove_all(staging_, ec);
    open_ = false;
    if (createdFolder_ && fs::is_empty(folder_, ec)) fs::remove(folder_, ec);
    createdFolder_ = false;
}

}  // namespace zolksim
