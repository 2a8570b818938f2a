// The simulator's drawing interface: a surface that modules draw on through the simulator, such
// as the head-up display (HUD) handed to clbkDrawHUD. Colours are 0x00BBGGRR: red in the lowest
// byte, blue in the third. Positions are pixels from the top-left corner.
#pragma once

#include "handles.h"
#include "host_api.h"

namespace oapi {

// The base draws nothing; the simulator hands modules a surface that does.
class HOST_API Sketchpad {
  public:
    Sketchpad() = default;
    Sketchpad(const Sketchpad&) = delete;
    Sketchpad& operator=(const Sketchpad&) = delete;
    virtual ~Sketchpad();

    // Colour of the texts drawn from now on; returns the colour it replaces.
    virtual DWORD SetTextColor(DWORD col);
    // Draws the first len characters of str with the top-left corner of the text at (x, y).
    // True when drawn.
    virtual bool Text(int x, int y, const char* str, int len);
};

}  // namespace oapi
