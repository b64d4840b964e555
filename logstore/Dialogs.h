// Dialog interfaces the core asks through: the GUI supplies Qt dialogs, the CLI and tests their own.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorlet3 {

// Chooses the log file to load. Returns the path (as the file system spells it),
// or nothing when the user declines.
class IFileChooser {
public:
    virtual ~IFileChooser() = default;
    virtual std::optional<std::string> ChooseLogFile() = 0;
};

enum class QuestionIcon { Default, Stop };
enum class DefaultButton { Ok, Cancel };

// Asks an OK/Cancel question. The text is cp932 bytes with "\n" line breaks.
// Returns true for OK, false for Cancel (also when the box is closed).
class IQuestionBox {
public:
    virtual ~IQuestionBox() = default;
    virtual bool AskOkCancel(std::string_view textCp932, QuestionIcon icon, DefaultButton defaultButton) = 0;
};

}  // namespace quorlet3
