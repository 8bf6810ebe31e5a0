// The process and its surroundings as the host gives them: time, the
// environment, drives, the command line and the console.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace pasarela::os {

// Local broken-down time of `t` (thread-safe).
std::tm localTime(std::time_t t);

// This process's number, for names of temporary files.
unsigned long processId();

// An environment variable as UTF-8; nothing when unset.
std::optional<std::string> environment(const char* name);

// True where drive letters are the host's own (Windows); elsewhere the
// program maps them to folders.
bool hasNativeDrives();
// Letters of the host's drives, in order ("ACD"); empty without native drives.
std::string nativeDrives();

// The command line as UTF-8 texts, program name first. On Windows read
// from the wide command line (argv is in the ANSI code page there).
std::vector<std::string> commandLine(int argc, char** argv);

// Makes stdout and stderr carry bytes as written (no newline translation)
// and a console show them as UTF-8.
void prepareConsole();

// Keeps the memory the process frees for its next allocations instead of
// handing it back to the system at once: a transfer takes and frees blocks
// of a few hundred KB for each table it opens, and memory handed back must
// be faulted in again, page by page, when it is taken the next time.
void keepFreedMemory();

}  // namespace pasarela::os
