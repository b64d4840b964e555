// The window's message for a log that could not be opened or read.
#pragma once

#include <QString>

#include "logstore/LogFileError.h"

namespace quorlet3 {

// The file named in the first line, then its cause in one Japanese sentence (also for
// causes the program knows no words of its own for: the system's error number stands
// in it then, never the system's English text).
QString FileErrorText(const LogFileError& error);

// The cause alone, as the second line of FileErrorText shows it.
QString FileErrorCauseText(const LogFileError& error);

}  // namespace quorlet3
