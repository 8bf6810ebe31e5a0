#include "shell/shell_flags.h"

namespace pasarela {

int NumParametros = 0;
int Transformado = 0;

}  // namespace pasarela
