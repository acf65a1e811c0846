#pragma once
// The audio host: the sound layer, the start-up menus, the render callback
// and the console key reads.

#include "audio/fsound.h"
#include "audio/keys.h"
#include "audio/render.h"
#include "audio/sound_setup.h"
