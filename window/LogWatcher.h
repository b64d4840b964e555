// Watches the loaded log for growth while the counter appends to it: a burst of changes
// becomes one notice, and a log that shrinks or vanishes ends the watch.
#pragma once

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <string>

namespace quorlet3 {

class CLogWatcher : public QObject {
    Q_OBJECT
public:
    explicit CLogWatcher(QObject* parent = nullptr);

    // Watches the file at path (file-system bytes), whose size was size when it was
    // loaded. A name that Qt cannot spell back exactly (cp932 bytes) is polled instead.
    // A prompt watch gives its notice after the short quiet time: for a reload that reads
    // only what was appended, so that a few new lines are on show at once.
    void Watch(const std::string& path, long long size, bool prompt = false);
    void Stop();
    bool Watching() const { return !m_path.empty(); }
    const std::string& Path() const { return m_path; }

    // The quiet time a burst must leave before its notice, and the longest a notice waits
    // while changes keep coming; the poll interval for names that cannot be watched. The
    // prompt watch's quiet time becomes quietMs too, until SetPromptQuiet sets it.
    // They apply to the next Watch.
    void SetTimings(int quietMs, int longestWaitMs, int pollMs);
    void SetPromptQuiet(int quietMs) { m_promptQuietMs = quietMs; }
    bool Prompt() const { return m_prompt; }

    // The file changed since the last look (called by the watcher or the poll; tests call
    // it to stand for a change).
    void OnChanged();

Q_SIGNALS:
    // The file is longer than at the last notice (or the load).
    void Grew();
    // The file became shorter or is gone; the watch has ended. The reason is one sentence.
    void Lost(const QString& reason);

private:
    void Settle();

    QFileSystemWatcher m_watcher;
    QTimer m_quiet;
    QTimer m_poll;
    QElapsedTimer m_burst;  // since the first change of the present burst
    std::string m_path;
    QString m_watchedName;  // the name given to m_watcher, empty when polled
    long long m_size = 0;
    int m_quietMs = 300;
    int m_promptQuietMs = 50;
    int m_longestWaitMs = 2000;
    bool m_prompt = false;
};

// The size of the file at path (file-system bytes), or -1 when it is gone or no file.
long long FileSizeOf(const std::string& path);

}  // namespace quorlet3
