// The teacher ID check of the import run: every teacher of
// C:\KTEMP\PROFT.DBF must have an identity number before anything is
// rewritten.
#pragma once

#include <memory>

#include "data/table.h"
#include "data/user_interface.h"

namespace pasarela {

// The three lines shown when a teacher is still without a number; line feed
// then carriage return between them.
extern const char* const kTeacherWithoutDniMessage;

// Passes with the teacher table open (physical order, for the transfer), or
// returns null after the message and the close of the main window: the run
// must end then. The check window is shown at most once per call.
std::unique_ptr<Table> ControlarDniProfesores(UserInterface& ui);

}  // namespace pasarela
