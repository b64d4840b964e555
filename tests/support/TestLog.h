// Test helpers shared by every test: log files in a temporary folder, records as the
// counter writes them, loaded documents, and stand-ins for the file chooser and the
// question box. No Qt and no test framework here, so the core, CLI and GUI tests all use them.
#pragma once

#include <unistd.h>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "logstore/Dialogs.h"
#include "logstore/Quorlet3Doc.h"
#include "reports/CommandTable.h"
#include "share/ShareCounters.h"

namespace quorlet3::test {

using Lines = std::vector<std::string>;

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; }
    // The path of a file of that name in the folder.
    std::string PathOf(std::string_view name) const;
    // Writes bytes to a file of that name in the folder; returns its path.
    std::string WriteFile(std::string_view name, std::string_view bytes) const;
    // Writes the lines, each ended by CR LF; returns the file's path.
    std::string WriteLines(std::string_view name, const Lines& lines) const;

private:
    std::string m_path;
};

// The lines joined with CR LF, each line ended by CR LF (a log as the counter writes it).
std::string JoinCrLf(const Lines& lines);

// The parts one after another.
Lines Concat(std::initializer_list<Lines> parts);

// n lines that belong to no record ("line 1", "line 2", ...).
Lines PlainLines(int n);

// A u8"" literal as the bytes of a std::string.
inline std::string U8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

// The UTF-8 text in cp932, for texts only known at run time (the text must be representable).
std::string Cp932(std::string_view utf8);

constexpr std::string_view kMsie401 = "Mozilla/4.0 (compatible; MSIE 4.01; Windows 95)";

// A sound main-page record (five lines) whose guest-number line reads "①" followed by
// guest, stamped "Wednesday, 15-Jul-98 <hour>:45:12 JST".
Lines MainRecord(const std::string& guest, int hour = 13, std::string_view browser = kMsie401);
Lines MainRecord(int guest, int hour = 13, std::string_view browser = kMsie401);

// A sound page record (two lines) of the page (cp932), stamped
// "Wednesday, <day>-Jul-98 <hour>:03:44 JST" (the day field 22 bytes from the end).
Lines PageRecord(std::string_view page, int day = 15, int hour = 21);

// The report text with each row in place of the row of the same label (its bytes up to
// the first tab) that follows a line break; throws when there is no such row.
std::string WithRows(std::string report, std::initializer_list<std::string_view> rows);

// A test case name made of the bytes: letters and digits stay, other ASCII runs become
// one '_', other bytes "xHH"; "Empty" for no bytes. Equal in every build.
std::string CaseName(std::string_view bytes);

// A document loaded from a real file holding the lines (CR LF after each).
CQuorlet3Doc LoadLines(const Lines& lines);

// A document loaded from a real file holding exactly these bytes.
CQuorlet3Doc LoadBytes(std::string_view bytes);

// The report table's row of the report's command-line words ("links", "hourly main",
// "page-days"); throws when there is none.
const CommandRow& CommandOf(std::string_view words);

// The report text of the row over the document's store (page: the page name the
// per-page report is asked for, cp932).
std::string ReportOf(const CQuorlet3Doc& doc, std::string_view words, std::string_view page = {});

// The share report as the window shows it: the store's browser lines are added to the
// running counters first, then the text is made of this store's line count and the counters.
std::string ShareReportOf(const CQuorlet3Doc& doc, ShareCounters& counters);

// Answers the document's file question from a queue of answers (nothing once it is empty).
class FakeChooser : public IFileChooser {
public:
    FakeChooser() = default;
    explicit FakeChooser(std::initializer_list<std::optional<std::string>> answers) : m_answers(answers) {}
    std::optional<std::string> ChooseLogFile() override;

    std::vector<std::optional<std::string>> m_answers;  // taken from the front
    int m_calls = 0;
    std::function<void()> m_whenAsked;  // runs inside each question
};

// Answers every OK/Cancel question the same way and remembers each question asked.
class FakeQuestions : public IQuestionBox {
public:
    FakeQuestions() = default;
    explicit FakeQuestions(bool answer) : m_answer(answer) {}
    bool AskOkCancel(std::string_view textCp932, QuestionIcon icon, DefaultButton defaultButton) override;

    struct Question {
        std::string text;  // cp932
        QuestionIcon icon;
        DefaultButton defaultButton;
    };
    bool m_answer = true;
    std::vector<Question> m_asked;
};

// While it lives, the calling thread opens files as an ordinary user would: the
// capabilities that let root read any file are off, so a file without read permission
// gives EACCES even under root. Does nothing for a process without them.
class WithoutFileOverride {
public:
    WithoutFileOverride();
    ~WithoutFileOverride();
    WithoutFileOverride(const WithoutFileOverride&) = delete;
    WithoutFileOverride& operator=(const WithoutFileOverride&) = delete;

private:
    unsigned m_saved[2] = {};  // the effective capability words before
    bool m_changed = false;
};

// Puts a descriptor on standard input while it lives (the descriptor is taken over).
class StandardInputFrom {
public:
    explicit StandardInputFrom(int fd) : m_saved(::dup(STDIN_FILENO)) {
        ::dup2(fd, STDIN_FILENO);
        ::close(fd);
    }
    ~StandardInputFrom() {
        ::dup2(m_saved, STDIN_FILENO);
        ::close(m_saved);
    }
    StandardInputFrom(const StandardInputFrom&) = delete;
    StandardInputFrom& operator=(const StandardInputFrom&) = delete;

private:
    int m_saved;
};

// A file in the folder that the calling thread cannot read while a WithoutFileOverride lives.
std::string WriteUnreadableFile(const TempDir& dir, std::string_view name, std::string_view bytes);

}  // namespace quorlet3::test
