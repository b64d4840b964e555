// The document's loading side: choosing and reading the log into the line store.
#include "logstore/Quorlet3Doc.h"

#include "logstore/LogLoader.h"

namespace quorlet3 {

CQuorlet3Doc::CQuorlet3Doc() = default;

const LineStore& CQuorlet3Doc::EmptyStore() {
    static const LineStore empty;
    return empty;
}

void CQuorlet3Doc::LoadLogFile(const std::string& path) {
    // Read into a fresh store first, so a failed read leaves the old one untouched.
    m_store = LoadLineStore(path);
    m_whole.reset();
}

void CQuorlet3Doc::LoadLogBytes(std::string_view bytes) {
    // Nothing can fail here, so the store is refilled in place.
    if (!m_store) {
        m_store = std::make_unique_for_overwrite<LineStore>();
    }
    LoadLineStoreFromBytes(bytes, *m_store);
    m_whole.reset();
}

CQuorlet3Doc::WindowStart CQuorlet3Doc::LoadLogWindow(const std::string& path, const LineWindow& window) {
    LoadedLog loaded = LoadLineStore(path, window);
    m_store = std::move(loaded.store);
    m_whole.reset();
    return {loaded.startByte, loaded.linesBefore};
}

void CQuorlet3Doc::AdoptWholeLog(std::unique_ptr<LineStore> firstLines,
                                 std::shared_ptr<const WholeLogReports> reports) {
    m_store = std::move(firstLines);
    m_whole = std::move(reports);
}

std::optional<std::string> CQuorlet3Doc::ChooseLogFile() {
    return m_fileChooser != nullptr ? m_fileChooser->ChooseLogFile() : std::nullopt;
}

std::optional<std::string> CQuorlet3Doc::SelectLogFile() {
    std::optional<std::string> path = ChooseLogFile();
    if (path) {
        LoadLogFile(*path);
    }
    return path;
}

}  // namespace quorlet3
