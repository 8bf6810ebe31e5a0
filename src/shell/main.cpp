// PasarelaHoraria: the desktop program.
//
// Stand-alone: started without parameters (or with any number but two), one
// window offering both transfers. Embedded: the host starts it with the
// direction ("importar" or "exportar") and its window's handle in
// hexadecimal; the window sits inside the host's and Tempolis.ini beside the
// executable tells the host whether a transfer took place.
#include "shell/desktop_program.h"

int main(int argc, char** argv) { return pasarela::shell::runDesktopProgram(argc, argv); }
