// The sample help file built from help/ for the tests.
#pragma once

#include <QString>

namespace pasarela::help::testing {

inline QString sampleChm() { return QStringLiteral(PASARELA_SAMPLE_CHM); }

}  // namespace pasarela::help::testing
