// Entry point of the editor program (see app/Startup.h).
#include "app/Startup.h"

int main(int argc, char** argv) { return RunOndrill(argc, argv); }
