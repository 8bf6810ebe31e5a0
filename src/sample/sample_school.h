// Writes the sample school's folder: the ten school-management tables the
// utility stages (`alumnos` with its memo file alumnos.fpt).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "sample/school_model.h"

namespace pasarela::sample {

// Table file name and records written, in the order written.
using SampleCounts = std::vector<std::pair<std::string, std::size_t>>;

// `folder` is a Windows path; it is created when missing. Existing tables
// of the same names are replaced.
SampleCounts writeSampleSchool(const std::string& folder, const SampleOptions& options);

}  // namespace pasarela::sample
