// Helpers of the GUI tests: cp932 log lines, log files in a temporary folder,
// stand-ins for the file chooser and the question box, and closing modal dialogs.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Dialogs.h"

namespace quorlet3::guitest {

// The UTF-8 text in cp932 (the text must be representable).
std::string Cp932(std::string_view utf8);

// One main-page record (five lines) whose time stamp falls in that hour of 1 July 1998.
std::vector<std::string> MainRecord(int guestNumber, int hour,
                                    std::string_view browser = "Mozilla/4.0 [ja] (Win95; I)");

// One page record (two lines) of that page (UTF-8), viewed on that day and hour of July 1998.
std::vector<std::string> PageRecord(std::string_view pageUtf8, int day, int hour);

// n lines that belong to no record ("line 1", "line 2", ...).
std::vector<std::string> PlainLines(int n);

// A folder with log files, removed with the object.
class LogFolder {
public:
    // Writes the lines, each ended by CR LF; returns the file's path.
    std::string Write(const QString& name, const std::vector<std::string>& lines);
    std::string Path(const QString& name) const;

private:
    QTemporaryDir m_dir;
};

// Answers the document's file question from a queue of answers; records whether the
// wait cursor was on when it was asked.
class FakeChooser : public IFileChooser {
public:
    std::optional<std::string> ChooseLogFile() override;

    std::vector<std::optional<std::string>> m_answers;  // taken from the front
    int m_calls = 0;
    bool m_waitCursorWhenAsked = false;
};

// Answers every OK/Cancel question the same way and records the last question.
class FakeQuestions : public IQuestionBox {
public:
    bool AskOkCancel(std::string_view textCp932, QuestionIcon icon, DefaultButton defaultButton) override;

    bool m_answer = true;
    int m_calls = 0;
    QString m_lastText;  // decoded
    QuestionIcon m_lastIcon = QuestionIcon::Default;
    DefaultButton m_lastDefault = DefaultButton::Ok;
};

// True while a command's wait cursor is the application's cursor.
bool WaitCursorOn();

// Once the next modal dialog runs, notes its caption and closes it as Cancel would.
void CloseNextModal(QString* caption);

}  // namespace quorlet3::guitest
