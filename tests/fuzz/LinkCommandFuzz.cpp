// Arbitrary registry values, targets and buffer sizes: the command must fit
// its buffer exactly as promised, and hold the registered text's kept part, a
// space and the whole target, or nothing at all.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "shell/LinkCommand.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first two bytes are the buffer size; the rest splits at the first
  // NUL into the registered command and the target.
  const std::size_t outSize = data[0] | static_cast<std::size_t>(data[1]) << 8;
  const std::string rest(reinterpret_cast<const char*>(data + 2), size - 2);
  const std::size_t split = rest.find('\0');
  const std::string registered = rest.substr(0, split);
  const std::string target =
      split == std::string::npos ? std::string() : rest.substr(split + 1).c_str();

  // Exactly outSize bytes, so a write past them is caught.
  std::unique_ptr<char[]> out(new char[outSize == 0 ? 1 : outSize]);
  if (!BuildOpenCommand(registered.c_str(), target.c_str(), out.get(), outSize)) {
    if (outSize != 0 && out[0] != '\0') std::abort();
    return 0;
  }
  const std::string command(out.get());
  if (command.size() + 1 > outSize || command.size() < target.size() + 1) std::abort();
  const std::size_t space = command.size() - target.size() - 1;
  if (command.compare(0, space, registered, 0, space) != 0 || command[space] != ' ' ||
      command.compare(space + 1, std::string::npos, target) != 0) {
    std::abort();
  }
  return 0;
}
