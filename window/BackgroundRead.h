// A long read of a whole log on a worker thread, with a progress dialog (bytes read of
// the total) and a cancel button, so that the window keeps painting while it runs.
#pragma once

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QTimer>
#include <atomic>
#include <exception>
#include <functional>
#include <memory>

#include "wholelog/PartReader.h"

class QThread;
class QWidget;

namespace quorlet3 {

class CBackgroundRead : public QObject {
    Q_OBJECT
public:
    // The work reads with the options it is given (their progress feeds the dialog) and
    // stops with WholeLogCancelled once the flag is set. It runs on the worker thread and
    // must not touch widgets or the document; what it makes, it keeps for the caller.
    using Work = std::function<void(const PartReadOptions& options, const std::atomic<bool>& cancel)>;

    enum class Outcome { Running, Done, Cancelled, Failed };

    // options: the reader's settings (threads, part size, and a progress hook of the
    // caller's own, called on the worker thread before the dialog's). A quiet read shows
    // no dialog: the window stays usable on what it has until the read is over.
    CBackgroundRead(QWidget* owner, const QString& label, PartReadOptions options, Work work, bool quiet = false);
    ~CBackgroundRead() override;
    CBackgroundRead(const CBackgroundRead&) = delete;
    CBackgroundRead& operator=(const CBackgroundRead&) = delete;

    // Starts the worker; Finished is signalled on the GUI thread when it is over.
    void Start();
    // Asks the worker to stop at the next part (the dialog's cancel button does the same).
    // A cancel that comes after the work has returned still discards what it made.
    void Cancel();
    // For work that counts no bytes (a report made from what was read), called before
    // Start: the dialog has that title and a busy bar, and shows only once the work has
    // run for showAfterMilliseconds.
    void SetBusyOnly(const QString& title, int showAfterMilliseconds);

    Outcome Result() const { return m_outcome; }
    bool Quiet() const { return m_quiet; }
    // The failure when Result() is Failed.
    std::exception_ptr Error() const { return m_error; }
    QProgressDialog* ProgressDialog() const { return m_dialog; }

Q_SIGNALS:
    void Finished();
    // Cancel was asked for (by the dialog or the caller); Finished follows once the work returns.
    void CancelAsked();

private:
    void MakeDialog();
    void ShowProgress();
    void OnWorkerDone();

    QPointer<QWidget> m_owner;
    QString m_label;
    PartReadOptions m_options;
    Work m_work;
    bool m_quiet;
    bool m_busyOnly = false;
    QString m_title;
    int m_showAfter;
    QThread* m_thread = nullptr;
    QPointer<QProgressDialog> m_dialog;
    QTimer m_poll;
    std::atomic<bool> m_cancel{false};
    std::atomic<long long> m_bytesRead{0};
    std::atomic<long long> m_totalBytes{-1};
    Outcome m_outcome = Outcome::Running;
    std::exception_ptr m_error;
};

}  // namespace quorlet3
