// The colours every generated picture shares, so that all panels read as one
// instrument.
#pragma once

#include "raster.h"

namespace art::pal {

// Faceplates: dark anodised aluminium, the backs darker and plainer.
inline const Rgb plate = hex(0x2B2E33);
inline const Rgb plateBand = hex(0x202226);
inline const Rgb back = hex(0x1A1B1E);
inline const Rgb silk = hex(0xF2F2EC);      // silk-screen lettering
inline const Rgb silkDim = hex(0x9A9EA6);

// Accent stripe per module kind.
inline const Rgb oscillator = hex(0xEE7A22);
inline const Rgb amplifier = hex(0x4DB54F);
inline const Rgb filter = hex(0x3A8EE6);
inline const Rgb sampler = hex(0x9C5FDB);
inline const Rgb mixer = hex(0xA3A8AE);
inline const Rgb sequencer = hex(0xDD3D35);
inline const Rgb keyboard = hex(0xE9C93A);
inline const Rgb system = hex(0x35B9C4);

// Knobs.
inline const Rgb cream = hex(0xEFE7D0);
inline const Rgb creamEdge = hex(0xB9AF95);
inline const Rgb knobBlack = hex(0x17181A);
inline const Rgb pointerBright = hex(0xFF5A1F);
inline const Rgb pointerWhite = hex(0xF8F8F0);

// LEDs, lamps and displays.
inline const Rgb ledCell = hex(0x140904);
inline const Rgb ledGhost = hex(0x34200F);
inline const Rgb ledAmber = hex(0xFFB43C);
inline const Rgb ledAmberDim = hex(0x8E5A1C);
inline const Rgb lampGreen = hex(0x4CFF5E);
inline const Rgb lampGreenOff = hex(0x1A3D1E);
inline const Rgb lampRed = hex(0xFF3A26);
inline const Rgb lampRedOff = hex(0x421512);
inline const Rgb screenGlass = hex(0x0B1A16);
inline const Rgb screenTrace = hex(0x7DFFC2);
inline const Rgb screenGrid = hex(0x1C3B33);
// Pale liquid-crystal windows of the dashboards (black lettering).
inline const Rgb lcdGlass = hex(0xB4C4A0);

// Metal.
inline const Rgb nickelLight = hex(0xE9EBEE);
inline const Rgb nickelDark = hex(0x7E838A);
inline const Rgb plugBody = hex(0x2446A8);
inline const Rgb plugBodyDark = hex(0x0E1E55);

}  // namespace art::pal
