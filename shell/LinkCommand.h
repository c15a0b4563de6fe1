#pragma once

#include <cstddef>

// Makes the command line that opens target with the command registered for web
// pages: the registered text cut at its "%1" placeholder (at the opening quote
// when the placeholder is quoted), then a space and the target. False, with out
// left empty, when the result and its NUL do not fit in outSize bytes.
bool BuildOpenCommand(const char* registered, const char* target, char* out, std::size_t outSize);
