// Temporary log files for the tests.
#include "tests/support/TestLog.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <stdlib.h>

namespace quorlet3::test {

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

std::string TempDir::WriteFile(std::string_view name, std::string_view bytes) const {
    const std::string path = m_path + "/" + std::string(name);
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
    return path;
}

std::string JoinCrLf(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

CQuorlet3Doc LoadBytes(std::string_view bytes) {
    TempDir dir;
    CQuorlet3Doc doc;
    doc.LoadLogFile(dir.WriteFile("test.log", bytes));
    return doc;
}

CQuorlet3Doc LoadLines(const std::vector<std::string>& lines) { return LoadBytes(JoinCrLf(lines)); }

}  // namespace quorlet3::test
