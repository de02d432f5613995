// The display class: one object per cockpit display showing the mode. It keeps
// nothing of its own; every setting it shows and changes is in pluginState, so
// all displays show the same page and closing one loses nothing.
#pragma once

#include "frame/host_compat.h"

class ZolkMFD : public GraphMFD {
public:
    // Fills the default reference body and vessel while their names are empty,
    // then reads the named vessel's main-engine thrust and specific impulse.
    ZolkMFD(DWORD width, DWORD height, VESSEL* vessel);
    ~ZolkMFD() override;

    void Update(HDC hDC) override;                      // draws the page
    bool ConsumeKeyBuffered(DWORD key) override;        // the six control keys
    bool ConsumeButton(int bt, int event) override;     // a button acts as its key
    char* ButtonLabel(int bt) override;
    int ButtonMenu(const MFDBUTTONMENU** menu) const override;
    void WriteStatus(FILEHANDLE scn) const override;    // settings into a scenario
    void ReadStatus(FILEHANDLE scn) override;           // and back

    // Makes the named vessel the one acted on; false (nothing changed) when the
    // host knows no vessel of that name.
    bool SelectVessel(char* name);

    // The character cell that the page is laid out in (pixels).
    DWORD cellWidth() const { return charWidth; }
    DWORD cellHeight() const { return charHeight; }
    DWORD width() const { return W; }
    DWORD height() const { return H; }
};
