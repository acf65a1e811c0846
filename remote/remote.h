#pragma once
// Remote control: the TCP command service and the button panel that turns
// the remote box's button word into edits of the synthesizer.

#include "remote/buttons.h"
#include "remote/service.h"
