// The recent-file list kept in the profile: the most recent path first, a fixed number of entries.
#pragma once

#include <QString>
#include <QStringList>

class QSettings;

namespace quorlet3 {

class CRecentFileList {
public:
    explicit CRecentFileList(int size) : m_size(size) {}

    // Reads the entries "File1" to "FileN" of the profile's "Recent File List" section;
    // empty and missing entries are skipped.
    void ReadList(QSettings& profile);
    // Writes the entries back, removing the section's old ones.
    void WriteList(QSettings& profile) const;

    // Puts the path at the front; an equal entry further down moves up, the oldest falls off.
    void Add(const QString& path);

    const QStringList& Entries() const { return m_entries; }
    int Size() const { return m_size; }

private:
    int m_size;
    QStringList m_entries;
};

}  // namespace quorlet3
