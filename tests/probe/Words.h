// The space-separated words of a test program's command line.
#pragma once

#include <string>
#include <vector>

inline std::vector<std::string> SplitWords(const char* commandLine) {
  std::vector<std::string> words;
  const std::string line = commandLine ? commandLine : "";
  std::size_t at = 0;
  while (at < line.size()) {
    std::size_t end = line.find(' ', at);
    if (end == std::string::npos) end = line.size();
    if (end > at) words.push_back(line.substr(at, end - at));
    at = end + 1;
  }
  return words;
}
