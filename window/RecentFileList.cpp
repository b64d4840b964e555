// The recent-file list in the profile, in the layout of a classic profile file.
#include "window/RecentFileList.h"

#include <QFile>
#include <QSettings>
#include <QStringDecoder>
#include <algorithm>

#include "window/QtText.h"

namespace quorlet3 {
namespace {

const QString kSection = QStringLiteral("Recent File List");

QString EntryKey(int index) { return QStringLiteral("File%1").arg(index + 1); }

bool IsUtf8Path(const std::string& path) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString decoded =
        utf8.decode(QByteArrayView(path.data(), static_cast<qsizetype>(path.size())));
    return !utf8.hasError();
}

}  // namespace

void CRecentFileList::ReadList(QSettings& profile) {
    m_entries.clear();
    profile.beginGroup(kSection);
    for (int i = 0; i < m_size; ++i) {
        const QVariant value = profile.value(EntryKey(i));
        const std::string path = value.typeId() == QMetaType::QByteArray ? value.toByteArray().toStdString()
                                                                         : value.toString().toUtf8().toStdString();
        if (!path.empty() && std::find(m_entries.begin(), m_entries.end(), path) == m_entries.end()) {
            m_entries.push_back(path);
        }
    }
    profile.endGroup();
}

void CRecentFileList::WriteList(QSettings& profile) const {
    profile.remove(kSection);
    profile.beginGroup(kSection);
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const std::string& path = m_entries[i];
        if (IsUtf8Path(path)) {
            profile.setValue(EntryKey(static_cast<int>(i)), QString::fromStdString(path));
        } else {
            profile.setValue(EntryKey(static_cast<int>(i)), QByteArray::fromStdString(path));
        }
    }
    profile.endGroup();
}

void CRecentFileList::Add(const QString& path) { Add(QFile::encodeName(path).toStdString()); }

void CRecentFileList::Add(const std::string& path) {
    if (path.empty() || m_size <= 0) {
        return;
    }
    std::erase(m_entries, path);
    m_entries.insert(m_entries.begin(), path);
    if (m_entries.size() > static_cast<size_t>(m_size)) {
        m_entries.resize(static_cast<size_t>(m_size));
    }
}

QStringList CRecentFileList::Entries() const {
    QStringList shown;
    for (const std::string& path : m_entries) {
        shown << PathToQString(path);
    }
    return shown;
}

}  // namespace quorlet3
