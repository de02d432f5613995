#include "host/displays/displays.h"

#include <algorithm>

#include "host/world/names.h"
#include "host/world/world.h"

namespace simhost {

namespace {
// The vessel interface a new display object is given: the focus vessel's.
VESSEL* focusInterface() {
    Vessel* focus = world().focus();
    return focus ? &focus->vesselInterface() : nullptr;
}
}  // namespace

// ---- Display ----

Display::Display(std::string position, DWORD width, DWORD height)
    : position_(std::move(position)), width_(width), height_(height) {}

Display::~Display() { close(); }

bool Display::open(const MfdMode& mode, VESSEL* vessel) {
    close();
    const LPARAM lparam = reinterpret_cast<LPARAM>(vessel);
    MFDMODEOPENSPEC openSpec{static_cast<int>(width_), static_cast<int>(height_), mode.spec.get()};
    OAPI_MSGTYPE result = mode.msgproc(OAPI_MSG_MFD_OPENEDEX, 0, reinterpret_cast<WPARAM>(&openSpec), lparam);
    if (result == 0) {
        // The width in the low and the height in the high 16 bits of wparam.
        const WPARAM size = (static_cast<WPARAM>(height_ & 0xFFFF) << 16) | (width_ & 0xFFFF);
        result = mode.msgproc(OAPI_MSG_MFD_OPENED, 0, size, lparam);
    }
    if (result == 0) return false;
    mode_ = mode;
    object_ = reinterpret_cast<MFD*>(result);
    // The cell comes after the constructor, as in the host: a constructor sees none.
    object_->cw = characterCell(width_, kDisplayColumns);
    object_->ch = characterCell(height_, kDisplayRows);
    redrawRequested_ = true;
    return true;
}

void Display::close() {
    MFD* object = object_;
    object_ = nullptr;  // first: the destructor may call back into the host
    delete object;
}

bool Display::pressKey(DWORD key) { return object_ && object_->ConsumeKeyBuffered(key); }

bool Display::pressButton(int index, int event) { return object_ && object_->ConsumeButton(index, event); }

const char* Display::buttonLabel(int index) const { return object_ ? object_->ButtonLabel(index) : nullptr; }

int Display::buttonMenu(const MFDBUTTONMENU** menu) const { return object_ ? object_->ButtonMenu(menu) : 0; }

// ---- Cockpit ----

Cockpit::~Cockpit() { closeAll(); }

int Cockpit::registerMode(const MFDMODESPEC& mode) {
    const int id = nextModeId_++;
    modes_.push_back(MfdMode{id, mode.name ? mode.name : "", mode.key, mode.msgproc,
                             std::make_shared<MFDMODESPECEX>(MFDMODESPECEX{mode.name, mode.key, nullptr, mode.msgproc})});
    return id;
}

bool Cockpit::unregisterMode(int id) {
    auto it = std::find_if(modes_.begin(), modes_.end(), [&](const MfdMode& m) { return m.id == id; });
    if (it == modes_.end()) return false;
    for (const auto& display : displays_)
        if (display->mode() && display->mode()->id == id) display->close();
    modes_.erase(it);
    return true;
}

const MfdMode* Cockpit::findMode(std::string_view name) const {
    for (const MfdMode& mode : modes_)
        if (sameName(mode.name, name)) return &mode;
    return nullptr;
}

Display* Cockpit::openDisplay(const std::string& position, std::string_view modeName, DWORD width, DWORD height) {
    const MfdMode* mode = findMode(modeName);
    if (!mode) return nullptr;
    Display* target = display(position);
    if (!target) {
        displays_.push_back(std::make_unique<Display>(position, width, height));
        target = displays_.back().get();
    }
    const MfdMode chosen = *mode;  // the procedure may register modes and move the registry
    return target->open(chosen, focusInterface()) ? target : nullptr;
}

bool Cockpit::closeDisplay(std::string_view position) {
    auto it = std::find_if(displays_.begin(), displays_.end(),
                           [&](const auto& d) { return sameName(d->position(), position); });
    if (it == displays_.end()) return false;
    std::unique_ptr<Display> closing = std::move(*it);
    displays_.erase(it);
    closing->close();
    return true;
}

Display* Cockpit::display(std::string_view position) const {
    for (const auto& display : displays_)
        if (sameName(display->position(), position)) return display.get();
    return nullptr;
}

Display* Cockpit::displayOf(const MFD* object) const {
    if (!object) return nullptr;
    for (const auto& display : displays_)
        if (display->object() == object) return display.get();
    return nullptr;
}

void Cockpit::openInputBox(InputBox box) { boxes_.push_back(std::move(box)); }

InputBoxAnswer Cockpit::answerInputBox(std::string_view text) {
    if (boxes_.empty()) return InputBoxAnswer::NoBox;
    const std::size_t index = boxes_.size() - 1;
    const InputBox box = boxes_[index];
    // The callback gets its own writable, terminated copy of the text.
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    const bool accepted = box.callback && box.callback(&boxes_[index], buffer.data(), box.userData);
    if (!accepted) return InputBoxAnswer::Refused;
    // The callback may have opened boxes of its own: close exactly the answered one.
    if (index < boxes_.size()) boxes_.erase(boxes_.begin() + static_cast<std::ptrdiff_t>(index));
    return InputBoxAnswer::Accepted;
}

bool Cockpit::cancelInputBox() {
    if (boxes_.empty()) return false;
    boxes_.pop_back();
    return true;
}

void Cockpit::closeAll() {
    boxes_.clear();
    while (!displays_.empty()) closeDisplay(displays_.back()->position());
}

void Cockpit::reset() {
    closeAll();
    modes_.clear();
}

}  // namespace simhost
