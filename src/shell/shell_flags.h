// The two process-wide integers of the shell.
#pragma once

namespace pasarela {

// 2 once start-up has recognised embedded mode; otherwise 0.
extern int NumParametros;
// The result flag handed to the host in Tempolis.ini: a run's
// TransferContext::transformado, copied here by the main window.
extern int Transformado;

}  // namespace pasarela
