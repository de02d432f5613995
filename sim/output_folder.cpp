#include "sim/output_folder.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace zolksim {

namespace fs = std::filesystem;

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
    // A name of its own per run, so two runs into one folder do not collide.
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    staging_ = folder_ / (".zolksim-staging-" + std::to_string(stamp));
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
    for (const std::string& name : staged_) {
        const fs::path from = staging_ / name;
        if (!fs::exists(from, ec)) continue;
        fs::rename(from, folder_ / name, ec);
        if (ec) {
            error = (folder_ / name).string() + ": cannot move the file into place (" + ec.message() + ")";
            return false;
        }
        committed_.push_back(name);
    }
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
