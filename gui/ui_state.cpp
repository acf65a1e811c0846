#include "gui/ui_state.h"

ScreenPoint mousePosition;
ScreenPoint scrollOffset;
std::vector<OBJET*> objectList;
int running = 1;
int selectedObject = -1;
