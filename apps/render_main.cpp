// morvel-render: renders a patch to a WAV file, faster than real time.
#include "patch/render.h"

int main(int argc, char** argv) { return renderMain(argc, argv); }
