#include "LinkCommand.h"

#include <cstring>

bool BuildOpenCommand(const char* registered, const char* target, char* out, std::size_t outSize) {
  if (outSize == 0) return false;
  out[0] = '\0';
  std::size_t keep = std::strlen(registered);
  if (const char* quoted = std::strstr(registered, "\"%1\"")) {
    keep = static_cast<std::size_t>(quoted - registered);
  } else if (const char* bare = std::strstr(registered, "%1")) {
    keep = static_cast<std::size_t>(bare - registered);
  }
  const std::size_t targetLength = std::strlen(target);
  if (keep + 1 + targetLength + 1 > outSize) return false;
  std::memcpy(out, registered, keep);
  out[keep] = ' ';
  std::memcpy(out + keep + 1, target, targetLength + 1);
  return true;
}
