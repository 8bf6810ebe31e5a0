// The fixed folders of the system.
#pragma once

namespace pasarela {

inline constexpr const char* kInterchangeFolder = "C:\\KTEMP";
inline constexpr const char* kStagingFolder = "C:\\KTEMP\\VAVOVIDI";
inline constexpr const char* kDefaultSourceFolder = "C:\\OB";
// The timetable generator's solution, which the import reads.
inline constexpr const char* kSolutionFile = "C:\\KTEMP\\SOLUC.DBF";

}  // namespace pasarela
