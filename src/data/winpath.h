// Windows paths over the host file system.
//
// Every path inside the program is a Windows path ("C:\KTEMP\AULAT.DBF").
// On Windows they are native. Elsewhere a drive map resolves them, the way
// Wine does: drive X is the folder in the environment variable
// PASARELA_DRIVE_X when set, else the Wine prefix's dosdevices/x:, and C:
// falls back to a per-user data folder; Z: is "/". Each component is matched
// without regard to case against what exists on disk; components that do not
// exist keep the spelling given.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace pasarela::winpath {

// Host path of a Windows path. Accepts "C:\A\B", "c:/a/b", doubled
// backslashes ("C:\\grupos.dbf") and relative paths (against the process's
// current folder). Throws pasarela::Error for a drive that is not mapped.
std::filesystem::path resolve(const std::string& windowsPath);

// Windows path of a host path: the drive whose host folder is the longest
// prefix of it (Z: for "/" where nothing closer is mapped).
std::string fromHost(const std::filesystem::path& hostPath);

// A path given on a command line: a Windows path is kept as is (normalised
// to backslashes), a host path is turned into its Windows path.
std::string fromCommandLine(const std::string& text);

// Host folder of a drive letter ('C'), if mapped.
std::optional<std::filesystem::path> driveRoot(char letter);

// Letters of the mapped drives, in order.
std::string drives();

// Helpers on Windows path text.
std::string fileNamePart(const std::string& windowsPath);              // after the last '\' or ':'
std::string folderPart(const std::string& windowsPath);                // up to and without the last '\'
std::string join(const std::string& folder, const std::string& name);  // folder + '\' + name

bool fileExists(const std::string& windowsPath);  // a folder is not a file
bool folderExists(const std::string& windowsPath);
bool createFolders(const std::string& windowsPath);  // with missing parents
bool deleteFile(const std::string& windowsPath);

}  // namespace pasarela::winpath
