// Names the sample school is made of: Spanish and Valencian, with accents.
#pragma once

#include <string>
#include <vector>

namespace pasarela::sample {

const std::vector<std::string>& surnames();
const std::vector<std::string>& maleNames();
const std::vector<std::string>& femaleNames();
const std::vector<std::string>& towns();
const std::vector<std::string>& streets();

// Teachers of the block whose initials all give the abbreviation "GPJ".
const std::vector<std::string>& gSurnames();
const std::vector<std::string>& pSurnames();
const std::vector<std::string>& jNames();

}  // namespace pasarela::sample
