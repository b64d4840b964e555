// Watches the loaded log for growth, one notice per burst of changes.
#include "window/LogWatcher.h"

#include <sys/stat.h>

#include <QFile>

namespace quorlet3 {

long long FileSizeOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return -1;
    }
    return info.st_size;
}

CLogWatcher::CLogWatcher(QObject* parent) : QObject(parent) {
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(m_quietMs);
    m_poll.setInterval(1000);
    connect(&m_quiet, &QTimer::timeout, this, &CLogWatcher::Settle);
    connect(&m_poll, &QTimer::timeout, this, [this] {
        const long long size = FileSizeOf(m_path);
        if (size != m_size) {
            OnChanged();
        }
    });
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this] { OnChanged(); });
}

void CLogWatcher::SetTimings(int quietMs, int longestWaitMs, int pollMs) {
    m_quietMs = quietMs;
    m_promptQuietMs = quietMs;
    m_quiet.setInterval(quietMs);
    m_longestWaitMs = longestWaitMs;
    m_poll.setInterval(pollMs);
}

void CLogWatcher::Watch(const std::string& path, long long size, bool prompt) {
    Stop();
    m_path = path;
    m_size = size;
    m_prompt = prompt;
    m_quiet.setInterval(prompt ? m_promptQuietMs : m_quietMs);
    const QString name = QFile::decodeName(QByteArray::fromStdString(path));
    if (QFile::encodeName(name).toStdString() == path && m_watcher.addPath(name)) {
        m_watchedName = name;
    } else {
        m_poll.start();  // inotify is asked by name, and this name does not survive the trip
    }
}

void CLogWatcher::Stop() {
    if (!m_watchedName.isEmpty()) {
        m_watcher.removePath(m_watchedName);
        m_watchedName.clear();
    }
    m_poll.stop();
    m_quiet.stop();
    m_path.clear();
}

void CLogWatcher::OnChanged() {
    if (m_path.empty()) {
        return;
    }
    // Each change restarts the quiet time, so a counter writing line by line gives one
    // notice; a burst that never pauses still gives one every longest wait.
    if (!m_quiet.isActive()) {
        m_burst.start();
    }
    if (m_burst.elapsed() < m_longestWaitMs) {
        m_quiet.start();
    }
}

void CLogWatcher::Settle() {
    const long long size = FileSizeOf(m_path);
    if (size < 0) {
        Stop();
        Q_EMIT Lost(QStringLiteral("ログファイルが見つからなくなったので、自動更新を止めました。"));
        return;
    }
    if (size < m_size) {
        Stop();
        Q_EMIT Lost(QStringLiteral("ログファイルが小さくなったので、自動更新を止めました。"));
        return;
    }
    // A file replaced under its name is watched no longer; take the new one.
    if (!m_watchedName.isEmpty() && !m_watcher.files().contains(m_watchedName)) {
        m_watcher.addPath(m_watchedName);
    }
    if (size > m_size) {
        m_size = size;
        Q_EMIT Grew();
    }
}

}  // namespace quorlet3
