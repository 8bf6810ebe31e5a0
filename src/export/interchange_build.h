// The export builds the nine interchange tables in a folder of its own
// inside C:\KTEMP and only then puts them in place of the previous nine, so
// that a failure at any point leaves the previous set as it was, never a mix
// of new, empty and old tables that the generator or the import would take
// for a good one.
#pragma once

#include <string>

namespace pasarela {

class InterchangeBuild {
 public:
  // Creates the run's own folder, C:\KTEMP\PASARELA-NUEVO-<number>.
  InterchangeBuild();
  // Removes the folder and whatever is left in it.
  ~InterchangeBuild();
  InterchangeBuild(const InterchangeBuild&) = delete;
  InterchangeBuild& operator=(const InterchangeBuild&) = delete;

  // Windows path of the folder the procedures write into.
  const std::string& folder() const { return folder_; }

  // Moves the new tables over the previous ones (each .DBF and .MDX; a
  // previous .MDX of a table that has none now is removed), marking the set
  // incomplete while it does. A failed move puts the previous set back and
  // throws pasarela::Error.
  void replaceInterchangeSet();

 private:
  std::string folder_;
};

}  // namespace pasarela
