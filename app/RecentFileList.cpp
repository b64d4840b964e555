// The recent-file list in the profile, in the layout of a classic profile file.
#include "app/RecentFileList.h"

#include <QSettings>

namespace quorlet3 {
namespace {

const QString kSection = QStringLiteral("Recent File List");

QString EntryKey(int index) { return QStringLiteral("File%1").arg(index + 1); }

}  // namespace

void CRecentFileList::ReadList(QSettings& profile) {
    m_entries.clear();
    profile.beginGroup(kSection);
    for (int i = 0; i < m_size; ++i) {
        const QString path = profile.value(EntryKey(i)).toString();
        if (!path.isEmpty() && !m_entries.contains(path)) {
            m_entries.append(path);
        }
    }
    profile.endGroup();
}

void CRecentFileList::WriteList(QSettings& profile) const {
    profile.remove(kSection);
    profile.beginGroup(kSection);
    for (int i = 0; i < m_entries.size(); ++i) {
        profile.setValue(EntryKey(i), m_entries[i]);
    }
    profile.endGroup();
}

void CRecentFileList::Add(const QString& path) {
    if (path.isEmpty() || m_size <= 0) {
        return;
    }
    m_entries.removeAll(path);
    m_entries.prepend(path);
    while (m_entries.size() > m_size) {
        m_entries.removeLast();
    }
}

}  // namespace quorlet3
