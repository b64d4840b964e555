// Reading a log file into a line store, as a text-mode reader with a 1000-byte buffer would.
#pragma once

#include <memory>
#include <string>

#include "logstore/LineStore.h"

namespace quorlet3 {

// Reads the first 10000 lines of the file at path into a new store and writes the
// sentinel after them. Opens the file read-only; refuses directories, FIFOs and
// sockets. Throws LogFileError naming the file when it cannot be opened or read.
std::unique_ptr<LineStore> LoadLineStore(const std::string& path);

}  // namespace quorlet3
