// The scenario host calls and the writer and reader objects behind them.
#include "host/scenario/scenario_io.h"

#include <algorithm>

#include "host/world/names.h"
#include "host/scenario/scenario_text.h"
#include "host/world/trace_record.h"

namespace simhost {

namespace {
// The live objects, by address: at most a couple at a time, so a linear search.
std::vector<const void*>& liveWriters() {
    static std::vector<const void*> list;
    return list;
}
std::vector<const void*>& liveReaders() {
    static std::vector<const void*> list;
    return list;
}
void forget(std::vector<const void*>& list, const void* object) {
    list.erase(std::remove(list.begin(), list.end(), object), list.end());
}
bool isLive(const std::vector<const void*>& list, const void* handle) {
    return handle && std::find(list.begin(), list.end(), handle) != list.end();
}
}  // namespace

ScenarioWriter::ScenarioWriter() { liveWriters().push_back(this); }
ScenarioWriter::~ScenarioWriter() { forget(liveWriters(), this); }

void ScenarioWriter::item(std::string_view key, std::string_view value) {
    text_ += "  ";
    appendFlat(key);
    text_ += ' ';
    appendFlat(value);
    text_ += '\n';
}

void ScenarioWriter::line(std::string_view text) {
    appendFlat(text);
    text_ += '\n';
}

void ScenarioWriter::appendFlat(std::string_view s) {
    for (char c : s) text_ += (c == '\n' || c == '\r') ? ' ' : c;
}

std::vector<std::string> ScenarioWriter::lines() const {
    std::vector<std::string> result;
    // Every line ends in a line break: text_ is built from whole lines only.
    for (std::size_t start = 0, end; (end = text_.find('\n', start)) != std::string::npos; start = end + 1)
        result.push_back(text_.substr(start, end - start));
    return result;
}

ScenarioWriter* ScenarioWriter::fromHandle(FILEHANDLE scn) {
    return isLive(liveWriters(), scn) ? static_cast<ScenarioWriter*>(scn) : nullptr;
}

ScenarioReader::ScenarioReader(std::vector<std::string> lines) : lines_(std::move(lines)) {
    liveReaders().push_back(this);
}
ScenarioReader::~ScenarioReader() { forget(liveReaders(), this); }

bool ScenarioReader::next(char*& line) {
    if (next_ >= lines_.size()) return false;
    current_ = trimmed(lines_[next_++]);
    line = current_.data();
    return !sameName(current_, "END");
}

ScenarioReader* ScenarioReader::fromHandle(FILEHANDLE scn) {
    return isLive(liveReaders(), scn) ? static_cast<ScenarioReader*>(scn) : nullptr;
}

}  // namespace simhost

using simhost::ScenarioReader;
using simhost::ScenarioWriter;

void oapiWriteScenario_int(FILEHANDLE scn, char* item, int value) {
    HOST_TRACE("oapiWriteScenario_int", item, value);
    ScenarioWriter* writer = ScenarioWriter::fromHandle(scn);
    if (writer && item) writer->item(item, simhost::numberText(value));
}

void oapiWriteScenario_float(FILEHANDLE scn, char* item, double value) {
    HOST_TRACE("oapiWriteScenario_float", item, value);
    ScenarioWriter* writer = ScenarioWriter::fromHandle(scn);
    if (writer && item) writer->item(item, simhost::fixedText(value));
}

void oapiWriteScenario_string(FILEHANDLE scn, char* item, char* value) {
    HOST_TRACE("oapiWriteScenario_string", item, value);
    ScenarioWriter* writer = ScenarioWriter::fromHandle(scn);
    if (writer && item) writer->item(item, value ? value : "");
}

bool oapiReadScenario_nextline(FILEHANDLE scn, char*& line) {
    HOST_TRACE("oapiReadScenario_nextline");
    ScenarioReader* reader = ScenarioReader::fromHandle(scn);
    return reader && reader->next(line);
}
