#pragma once
// The synthesis engine: port interfaces, modules, the container and the
// per-frame step. Knows nothing of SDL, OpenGL or sockets.

#include "engine/audio_lock.h"
#include "engine/data_dir.h"
#include "engine/generator.h"
#include "engine/keyboard.h"
#include "engine/mixer.h"
#include "engine/notes.h"
#include "engine/pcf.h"
#include "engine/ports.h"
#include "engine/random.h"
#include "engine/sampler.h"
#include "engine/sequencer.h"
#include "engine/sfx_delay.h"
#include "engine/shared.h"
#include "engine/tokenizer.h"
#include "engine/vca.h"
#include "engine/vco.h"
#include "engine/wav_reader.h"
