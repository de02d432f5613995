// The cockpit's displays: the registered display modes, the displays that show
// them, and the input boxes opened from them.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "frame/host_api.h"
#include "host/displays/character_cell.h"
#include "host/displays/text_surface.h"
#ifdef _WIN32
#include "host/displays/display_canvas.h"
#endif

namespace simhost {

// A display of this size gets 15 x 16 pixel characters (36 columns, 24 rows).
constexpr DWORD kDefaultDisplayWidth = 540;
constexpr DWORD kDefaultDisplayHeight = 384;

struct MfdMode {
    int id;
    std::string name;
    DWORD key;
    MFD_MSGPROC msgproc;
    // What a display's OPENEDEX message points to; shared by the copies of the
    // mode so that its address stays put while the registry grows.
    std::shared_ptr<MFDMODESPECEX> spec;
};

// One cockpit display, named by its position ("Left", "Right", ...). While it
// shows a mode it owns that mode's display object.
class OAPIFUNC Display {
public:
    Display(std::string position, DWORD width, DWORD height);
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;
    ~Display();

    const std::string& position() const { return position_; }
    DWORD width() const { return width_; }
    DWORD height() const { return height_; }
    const MfdMode* mode() const { return object_ ? &mode_ : nullptr; }
    MFD* object() const { return object_; }

    // Asks the mode's message procedure for a display object, the vessel in
    // lparam: first with OPENEDEX (wparam points to width, height and the mode),
    // then, when that gives none, with OPENED (width and height packed in
    // wparam). Then gives the object its character cell. False when neither
    // message gives an object.
    bool open(const MfdMode& mode, VESSEL* vessel);
    // Destroys the display object, if any.
    void close();

    // Key and button events, handed to the display object; false without one.
    bool pressKey(DWORD key);
    bool pressButton(int index, int event);
    const char* buttonLabel(int index) const;
    int buttonMenu(const MFDBUTTONMENU** menu) const;

    // Draws the page afresh on a cleared surface, clears the redraw request and
    // gives back what the page drew. On Windows the page is drawn with GDI
    // into the display's pixels.
    const PageRecord& redraw();
    // What the last redraw drew.
    const PageRecord& surface() const { return surface_; }
#ifdef _WIN32
    const DisplayCanvas& canvas() const { return canvas_; }
    // For the host's own drawing calls (title, font) during a redraw.
    PageRecord& record() { return surface_; }
#endif
    bool redrawRequested() const { return redrawRequested_; }
    void requestRedraw() { redrawRequested_ = true; }

private:
    std::string position_;
    DWORD width_, height_;
    MfdMode mode_{};
    MFD* object_ = nullptr;
    bool redrawRequested_ = false;
#ifdef _WIN32
    PageRecord surface_;
    DisplayCanvas canvas_{width_, height_};
#else
    HDC__ surface_;  // the device context Update draws on
#endif
};

// An input box, kept open until the pilot's text is accepted or it is cancelled.
struct InputBox {
    std::string title;
    InputBoxCallback callback;
    std::string initialText;  // "" also when none was given
    int length;
    void* userData;
    // The initial-text pointer as the caller gave it, so that a test can tell
    // none (null) from an empty text. Only for comparing with null: what it
    // points to may be gone once the call has returned.
    const char* initialTextGiven;
};

enum class InputBoxAnswer { NoBox, Accepted, Refused };

class OAPIFUNC Cockpit {
public:
    Cockpit() = default;
    Cockpit(const Cockpit&) = delete;
    Cockpit& operator=(const Cockpit&) = delete;
    ~Cockpit();

    // The mode registry. Identifiers start at 1 and are never reused.
    int registerMode(const MFDMODESPEC& mode);
    // Closes every display that shows the mode; false for an unknown identifier.
    bool unregisterMode(int id);
    const MfdMode* findMode(std::string_view name) const;  // letter case ignored
    const std::vector<MfdMode>& modes() const { return modes_; }

    // Shows the mode on the display at position, creating the display with the
    // given size when there is none there yet, and replacing what it showed.
    // The display object gets the focus vessel's interface. Null when the mode
    // is unknown or its procedure gives no object (the display then stays empty).
    Display* openDisplay(const std::string& position, std::string_view modeName,
                         DWORD width = kDefaultDisplayWidth, DWORD height = kDefaultDisplayHeight);
    // Destroys the display at position; false when there is none.
    bool closeDisplay(std::string_view position);
    Display* display(std::string_view position) const;
    Display* displayOf(const MFD* object) const;
    const std::vector<std::unique_ptr<Display>>& displays() const { return displays_; }

    // Input boxes; the newest open box is the one that an answer goes to.
    void openInputBox(InputBox box);
    const InputBox* currentInputBox() const { return boxes_.empty() ? nullptr : &boxes_.back(); }
    std::size_t inputBoxCount() const { return boxes_.size(); }
    // Gives the text to the newest box's callback; accepted closes the box,
    // refused keeps it open.
    InputBoxAnswer answerInputBox(std::string_view text);
    bool cancelInputBox();

    void closeInputBoxes() { boxes_.clear(); }
    // Closes every display and input box; the modes stay registered.
    void closeAll();
    // And forgets the modes.
    void reset();

private:
    std::vector<MfdMode> modes_;
    std::vector<std::unique_ptr<Display>> displays_;
    std::vector<InputBox> boxes_;
    int nextModeId_ = 1;
};

}  // namespace simhost
