// The recent-file list kept in the profile: the most recent path first, a fixed number of entries.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

class QSettings;

namespace quorlet3 {

class CRecentFileList {
public:
    explicit CRecentFileList(int size) : m_size(size) {}

    // Reads the entries "File1" to "FileN" of the profile's "Recent File List" section;
    // empty and missing entries are skipped.
    void ReadList(QSettings& profile);
    // Writes the entries back, removing the section's old ones. A path that is UTF-8 is
    // written as text; any other (cp932 names) as its bytes, so it comes back unchanged.
    void WriteList(QSettings& profile) const;

    // Puts the path at the front; an equal entry further down moves up, the oldest falls off.
    void Add(const QString& path);
    // The same for a path in the file system's own bytes.
    void Add(const std::string& path);

    // The entries as they read (cp932 names decoded), and as the file system spells them.
    QStringList Entries() const;
    const std::vector<std::string>& Paths() const { return m_entries; }
    int Size() const { return m_size; }

private:
    int m_size;
    std::vector<std::string> m_entries;
};

}  // namespace quorlet3
