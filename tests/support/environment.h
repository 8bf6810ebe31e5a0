// The test process's own environment and temporary folders, on both systems.
#pragma once

#include <filesystem>
#include <string>

namespace pasarela::test {

// Sets or removes a variable of this process (UTF-8 name and value).
void setEnvironment(const std::string& name, const std::string& value);
void unsetEnvironment(const std::string& name);

// A new, empty folder under the system's temporary folder whose name starts
// with `prefix`; nobody else holds a folder of that name.
std::filesystem::path makeTemporaryFolder(const std::string& prefix);

// A new folder to stand for a drive. On Windows it lies on a drive other
// than C: where there is one (Wine's Z:), so that its host paths do not read
// as paths of the drive C it replaces; elsewhere as makeTemporaryFolder.
std::filesystem::path makeDriveFolder(const std::string& prefix);

}  // namespace pasarela::test
