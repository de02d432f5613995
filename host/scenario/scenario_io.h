// The host-side objects behind a scenario FILEHANDLE: a writer that collects
// "  KEY value" lines, and a reader that hands out a scenario's lines from a
// given one on, as the host's line reader does. A
// handle is the object's address; the host API calls accept only handles of
// objects that are alive, so a stray pointer is ignored rather than followed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "frame/host_api.h"

namespace simhost {

class OAPIFUNC ScenarioWriter {
public:
    ScenarioWriter();
    ~ScenarioWriter();
    ScenarioWriter(const ScenarioWriter&) = delete;
    ScenarioWriter& operator=(const ScenarioWriter&) = delete;

    FILEHANDLE handle() { return this; }
    // Two spaces, the key, one space, the value and a line break. Line breaks
    // inside key or value become spaces: an item never ends its block.
    void item(std::string_view key, std::string_view value);
    // A line as it is: block markers and vessel names.
    void line(std::string_view text);
    const std::string& text() const { return text_; }
    // The lines written, without their line breaks, as a ScenarioReader takes them.
    std::vector<std::string> lines() const;

    // The live writer behind scn, or null.
    static ScenarioWriter* fromHandle(FILEHANDLE scn);

private:
    void appendFlat(std::string_view s);

    std::string text_;
};

class OAPIFUNC ScenarioReader {
public:
    explicit ScenarioReader(std::vector<std::string> lines);
    ~ScenarioReader();
    ScenarioReader(const ScenarioReader&) = delete;
    ScenarioReader& operator=(const ScenarioReader&) = delete;

    FILEHANDLE handle() { return this; }
    // The next line, trimmed, in a buffer of the reader's that stays valid until
    // the next call. False for a line END (any letter case), which is handed
    // out all the same, and (line untouched) once every line is handed out.
    bool next(char*& line);
    // How many lines have been handed out.
    std::size_t linesRead() const { return next_; }

    // The live reader behind scn, or null.
    static ScenarioReader* fromHandle(FILEHANDLE scn);

private:
    std::vector<std::string> lines_;
    std::size_t next_ = 0;
    std::string current_;
};

}  // namespace simhost
