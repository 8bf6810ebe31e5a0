// Moved to the shared test support.
#pragma once

#include "support/drive_c.h"
