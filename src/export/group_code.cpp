#include "export/group_code.h"

#include "export/export_text.h"

namespace pasarela::exporting {

GroupCode splitGroupCode(const std::string& codgrup) {
  return GroupCode{charSub(codgrup, 1, 3), charSub(codgrup, 0, 1), lastChar(codgrup)};
}

std::string groupAbbreviation(const GroupCode& group) {
  return charSub(group.level, 0, 1) + charSub(group.level, 2, 1) + group.year + group.letter;
}

std::string courseAbbreviation(const std::string& shift, const GroupCode& group) {
  return shift + charSub(group.level, 0, 1) + group.year;
}

std::string groupDescription(const std::string& shift, const GroupCode& group) {
  return shift + " " + group.level + " " + group.year + " " + group.letter;
}

}  // namespace pasarela::exporting
