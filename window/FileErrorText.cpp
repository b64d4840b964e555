// The window's words for a failed load, from the table of failure texts.
#include "window/FileErrorText.h"

#include "window/QtText.h"

namespace quorlet3 {

QString FileErrorCauseText(const LogFileError& error) { return Cp932ToQString(LogFileCauseSentence(error)); }

QString FileErrorText(const LogFileError& error) {
    // The path is named once, in the first line; the cause follows in a sentence of its own.
    const UnreadableFileLine words = UnreadableFileWords();
    return Cp932ToQString(words.before) + PathToQString(error.Path()) + Cp932ToQString(words.after) +
           QLatin1Char('\n') + FileErrorCauseText(error);
}

}  // namespace quorlet3
