// The program's life cycle, from its entry to its exit code.
#pragma once

#include <cstddef>

#include "system/System.h"

// Start-up, the message loop and the end-of-program cleanup; returns the exit
// code of a normal end.
int RunProgram();

// Frees the press point; the exit routine of a normal end.
void ReleasePressPoint();

// The length of the folder part of a module path in the ANSI code page: up to
// its last backslash that is not the second byte of a double-byte character.
std::size_t FolderLength(const char* path);
