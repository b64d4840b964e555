// Temporary log files, records, loaded documents and dialog stand-ins for the tests.
#include "tests/support/TestLog.h"

#include <linux/capability.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <variant>

#include "encoding/Cp932.h"
#include "logstore/LineStore.h"

namespace quorlet3::test {
namespace {

// The time stamp after a marker: day and hour are placed as the reading rules expect.
std::string Stamp(int day, int hour, std::string_view minutesSeconds) {
    char text[64];
    std::snprintf(text, sizeof text, "Wednesday, %02d-Jul-98 %02d:%.*s JST", day, hour,
                  static_cast<int>(minutesSeconds.size()), minutesSeconds.data());
    return text;
}

std::string Line(std::string_view marker, std::string_view content) {
    return std::string(marker) + std::string(content);
}

// Capabilities of the calling thread through the system call itself (no libcap needed).
bool Capabilities(__user_cap_data_struct (&data)[2], bool set) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(set ? SYS_capset : SYS_capget, &header, data) == 0;
}

constexpr unsigned kFileOverride = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

}  // namespace

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorlet3-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::PathOf(std::string_view name) const { return m_path + "/" + std::string(name); }

std::string TempDir::WriteFile(std::string_view name, std::string_view bytes) const {
    const std::string path = PathOf(name);
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
    return path;
}

std::string TempDir::WriteLines(std::string_view name, const Lines& lines) const {
    return WriteFile(name, JoinCrLf(lines));
}

std::string JoinCrLf(const Lines& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

Lines Concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

Lines PlainLines(int n) {
    Lines lines;
    for (int i = 1; i <= n; ++i) {
        lines.push_back("line " + std::to_string(i));
    }
    return lines;
}

std::string Cp932(std::string_view utf8) {
    std::optional<std::string> bytes = EncodeUtf8ToCp932(utf8);
    if (!bytes) {
        throw std::invalid_argument("not representable in cp932");
    }
    return *bytes;
}

Lines MainRecord(const std::string& guest, int hour, std::string_view browser) {
    return {Line(kMarker1, guest), Line(kMarker2, Stamp(15, hour, "45:12")), Line(kMarker3, "ppp12.example.ne.jp"),
            Line(kMarker4, browser), Line(kMarker5, "http://www.example.co.jp/links.html")};
}

Lines MainRecord(int guest, int hour, std::string_view browser) {
    return MainRecord(std::to_string(guest), hour, browser);
}

Lines PageRecord(std::string_view page, int day, int hour) {
    return {Line(kMarker6, page), Line(kMarker7, Stamp(day, hour, "03:44"))};
}

std::string WithRows(std::string report, std::initializer_list<std::string_view> rows) {
    for (const std::string_view row : rows) {
        const std::string label = "\n" + std::string(row.substr(0, row.find('\t') + 1));
        const size_t at = report.find(label);
        const size_t end = at == std::string::npos ? at : report.find("\r\n", at);
        if (end == std::string::npos) {
            throw std::invalid_argument("no row labelled " + label.substr(1));
        }
        report.replace(at + 1, end - at - 1, row);
    }
    return report;
}

std::string CaseName(std::string_view bytes) {
    std::string name;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) && byte < 0x80) {
            name += c;
        } else if (byte >= 0x20 && byte < 0x7f) {
            if (name.empty() || name.back() != '_') {
                name += '_';
            }
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "x%02X", byte);
            name += hex;
        }
    }
    return name.empty() ? "Empty" : name;
}

CQuorlet3Doc LoadBytes(std::string_view bytes) {
    TempDir dir;
    CQuorlet3Doc doc;
    doc.LoadLogFile(dir.WriteFile("test.log", bytes));
    return doc;
}

CQuorlet3Doc LoadLines(const Lines& lines) { return LoadBytes(JoinCrLf(lines)); }

const CommandRow& CommandOf(std::string_view words) {
    const size_t space = words.find(' ');
    const CommandRow* row = space == std::string_view::npos
                                ? FindCliCommand(words, {})
                                : FindCliCommand(words.substr(0, space), words.substr(space + 1));
    if (row == nullptr) {
        throw std::invalid_argument("no report " + std::string(words));
    }
    return *row;
}

std::string ReportOf(const CQuorlet3Doc& doc, std::string_view words, std::string_view page) {
    return ReportText(CommandOf(words), doc.Store(), page);
}

std::string ShareReportOf(const CQuorlet3Doc& doc, ShareCounters& counters) {
    const ShareResult share = std::get<ShareResult>(RunRow(CommandOf("share"), doc.Store()));
    AddShare(counters, share);
    return FormatShareText(share.lines, counters);
}

std::optional<std::string> FakeChooser::ChooseLogFile() {
    ++m_calls;
    if (m_whenAsked) {
        m_whenAsked();
    }
    if (m_answers.empty()) {
        return std::nullopt;
    }
    std::optional<std::string> answer = m_answers.front();
    m_answers.erase(m_answers.begin());
    return answer;
}

bool FakeQuestions::AskOkCancel(std::string_view textCp932, QuestionIcon icon, DefaultButton defaultButton) {
    m_asked.push_back({std::string(textCp932), icon, defaultButton});
    return m_answer;
}

WithoutFileOverride::WithoutFileOverride() {
    __user_cap_data_struct data[2] = {};
    if (!Capabilities(data, false) || (data[0].effective & kFileOverride) == 0) {
        return;
    }
    m_saved[0] = data[0].effective;
    m_saved[1] = data[1].effective;
    data[0].effective &= ~kFileOverride;
    if (!Capabilities(data, true)) {
        throw std::runtime_error("cannot drop the file capabilities");
    }
    m_changed = true;
}

WithoutFileOverride::~WithoutFileOverride() {
    __user_cap_data_struct data[2] = {};
    if (m_changed && Capabilities(data, false)) {
        data[0].effective = m_saved[0];
        data[1].effective = m_saved[1];
        Capabilities(data, true);
    }
}

std::string WriteUnreadableFile(const TempDir& dir, std::string_view name, std::string_view bytes) {
    const std::string path = dir.WriteFile(name, bytes);
    if (::chmod(path.c_str(), 0) != 0) {
        throw std::runtime_error("cannot take the permissions of " + path);
    }
    return path;
}

}  // namespace quorlet3::test
