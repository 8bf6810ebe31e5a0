// The import run: the solution C:\KTEMP\SOLUC.DBF becomes the school's
// horgrup.dbf and horprof.dbf.
#pragma once

#include "data/transfer_context.h"

namespace pasarela {

struct ImportOptions {
  // Everything but the copy back into the source folder.
  bool dryRun = false;
};

// The import button's run.
void BImportarClick(TransferContext& ctx, const ImportOptions& options = {});

}  // namespace pasarela
