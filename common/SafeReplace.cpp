#include "common/SafeReplace.h"

namespace velmora {

std::string TemporaryName(const std::string& target, int attempt) {
  return target + ".new" + (attempt == 0 ? std::string() : std::to_string(attempt));
}

bool ReplaceWholeFile(ReplaceSteps& steps, const std::string& path, std::string_view bytes) {
  using Kind = ReplaceSteps::Kind;
  const std::optional<std::string> target = steps.Target(path);
  if (!target) return false;  // a link to nowhere: making a file would end the link
  const Kind kind = steps.KindOf(*target);
  if (kind != Kind::kNothing && kind != Kind::kFile) return false;
  for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    const std::string temporary = TemporaryName(*target, attempt);
    std::unique_ptr<ReplaceSteps::Output> output = steps.Create(temporary);
    if (!output) {
      // Something of that name is in the way: try the next name. Nothing
      // there means the folder cannot take a file at all.
      if (steps.KindOf(temporary) == Kind::kNothing) return false;
      continue;
    }
    const bool written = output->Write(bytes) && output->Flush();
    output.reset();  // closed: an open file cannot be removed or moved
    if (written && steps.Move(temporary, *target)) return true;
    steps.Remove(temporary);  // what is left of it is of no use
    return false;
  }
  return false;
}

}  // namespace velmora
