// zipdemographics: look up the demographics of United States ZIP codes in a window.
#include "window/windowprogram.h"

int main(int argc, char** argv) { return zd::runWindowProgram(argc, argv); }
