// The two process-wide integers of the shell.
#pragma once

namespace pasarela {

// 2 once start-up has recognised embedded mode; otherwise 0.
extern int NumParametros;
// The result flag handed to the host in Tempolis.ini: 1 once an export has
// started or an import has completed.
extern int Transformado;

}  // namespace pasarela
