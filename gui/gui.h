#pragma once
// The Zod engine: widgets and panels, RC layout files, the image store with
// its textures, the OpenGL window and drawing, fonts, and the file listing.

#include "gui/cable.h"
#include "gui/file_tokens.h"
#include "gui/font.h"
#include "gui/frame_loop.h"
#include "gui/image_store.h"
#include "gui/listing.h"
#include "gui/messages.h"
#include "gui/panel_cache.h"
#include "gui/pointer.h"
#include "gui/rc_file.h"
#include "gui/ui_state.h"
#include "gui/video.h"
#include "gui/widgets.h"
