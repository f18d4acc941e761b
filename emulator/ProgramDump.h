#pragma once

#include "emulator/ProgramStore.h"

#include <string>

namespace oskel::emulator {

// Writes every stored program to folder as a file named after its camera
// name (a second program of the same name gets "(2)" and so on), and
// directory.txt with each slot's directory record. False with *error when
// the folder or a file cannot be written.
bool DumpProgramStore(const ProgramStore& store, const std::string& folder, std::string* error);

// One line per slot: slot, camera name, kind, id, copy flag, version, size,
// display name.
std::string DescribeProgramStore(const ProgramStore& store);

} // namespace oskel::emulator
