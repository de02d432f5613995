// The output folder of a run. Files are written into a staging folder inside
// it and moved into place only when the whole run has succeeded, so a failed
// run leaves nothing half-written behind.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zolksim {

class OutputFolder {
public:
    OutputFolder() = default;
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;
    // Abandons whatever was not committed.
    ~OutputFolder();

    // Creates the folder when needed and a staging folder inside it. Staging
    // folders of runs that were killed are cleared away first; one killed while
    // its files were being moved in has the rest moved in, completing its set.
    bool open(const std::string& folder, std::string& error);
    // Where to write the file called name; the name is remembered for commit.
    std::string stage(const std::string& name);
    // Moves every staged file that exists into the folder, replacing files of
    // the same name, and removes the staging folder.
    bool commit(std::string& error);
    // Removes the staging folder and its files, and the folder itself when this
    // run created it and it is empty.
    void abandon();

    const std::filesystem::path& folder() const { return folder_; }
    // The names moved into place by commit, in the order they were staged.
    const std::vector<std::string>& committed() const { return committed_; }

private:
    std::filesystem::path folder_, staging_;
    bool createdFolder_ = false;
    bool open_ = false;
    std::vector<std::string> staged_, committed_;
};

}  // namespace zolksim
