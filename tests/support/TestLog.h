// Test helpers: real log files in a temporary folder and documents loaded from them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "logstore/Quorlet3Doc.h"

namespace quorlet3::test {

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; }
    // Writes bytes to a file of that name in the folder; returns its path.
    std::string WriteFile(std::string_view name, std::string_view bytes) const;

private:
    std::string m_path;
};

// The lines joined with CR LF, each line ended by CR LF (a log as the counter writes it).
std::string JoinCrLf(const std::vector<std::string>& lines);

// A document loaded from a real file holding the lines (CR LF after each).
CQuorlet3Doc LoadLines(const std::vector<std::string>& lines);

// A document loaded from a real file holding exactly these bytes.
CQuorlet3Doc LoadBytes(std::string_view bytes);

}  // namespace quorlet3::test
