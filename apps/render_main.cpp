// morvel-render: renders a patch to a WAV file, faster than real time.
#include "apps/render_cli.h"

int main(int argc, char** argv) { return renderMain(argc, argv); }
