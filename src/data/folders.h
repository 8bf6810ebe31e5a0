// The fixed folders of the system.
#pragma once

namespace pasarela {

inline constexpr const char* kInterchangeFolder = "C:\\KTEMP";
inline constexpr const char* kStagingFolder = "C:\\KTEMP\\VAVOVIDI";
inline constexpr const char* kDefaultSourceFolder = "C:\\OB";

}  // namespace pasarela
