// A long read of a whole log on a worker thread, with a progress dialog and a cancel button.
#include "window/BackgroundRead.h"

#include <QLocale>
#include <QProgressDialog>
#include <QThread>

#include "reports/WholeLogReports.h"

namespace quorlet3 {
namespace {

// The dialog counts in thousandths: a 64-bit byte count does not fit its int range.
constexpr int kProgressSteps = 1000;
// How often the dialog takes the worker's count; the worker itself never waits for it.
constexpr int kPollMilliseconds = 50;
// Short reads finish before any dialog flashes up.
constexpr int kShowAfterMilliseconds = 300;

QString Megabytes(long long bytes) {
    return QLocale().toString(static_cast<double>(bytes) / 1e6, 'f', bytes < 10'000'000 ? 1 : 0);
}

}  // namespace

CBackgroundRead::CBackgroundRead(QWidget* owner, const QString& label, PartReadOptions options, Work work, bool quiet)
    : m_owner(owner),
      m_label(label),
      m_options(std::move(options)),
      m_work(std::move(work)),
      m_quiet(quiet),
      m_title(QStringLiteral("ログ全体の読み込み")),
      m_showAfter(kShowAfterMilliseconds) {
    m_poll.setInterval(kPollMilliseconds);
    connect(&m_poll, &QTimer::timeout, this, &CBackgroundRead::ShowProgress);
}

CBackgroundRead::~CBackgroundRead() {
    if (m_thread != nullptr) {
        m_cancel = true;
        m_thread->wait();
        delete m_thread;
    }
    delete m_dialog;
}

void CBackgroundRead::MakeDialog() {
    m_dialog = new QProgressDialog(m_label, QStringLiteral("キャンセル"), 0, kProgressSteps, m_owner);
    m_dialog->setWindowTitle(m_title);
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(m_showAfter);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setValue(0);
    if (m_busyOnly) {
        m_dialog->setRange(0, 0);
    }
    connect(m_dialog, &QProgressDialog::canceled, this, &CBackgroundRead::Cancel);
    connect(m_dialog, &QDialog::rejected, this, &CBackgroundRead::Cancel);  // Escape, the close box
}

void CBackgroundRead::Start() {
    if (!m_quiet) {
        MakeDialog();
    }
    PartReadOptions options = m_options;
    options.progress = [this, hook = m_options.progress](long long read, long long total) {
        if (hook) {
            hook(read, total);
        }
        m_bytesRead = read;
        m_totalBytes = total;
    };
    m_thread = QThread::create([this, options] {
        try {
            m_work(options, m_cancel);
            m_outcome = m_cancel ? Outcome::Cancelled : Outcome::Done;
        } catch (const WholeLogCancelled&) {
            m_outcome = Outcome::Cancelled;
        } catch (...) {
            m_error = std::current_exception();
            m_outcome = m_cancel ? Outcome::Cancelled : Outcome::Failed;
        }
    });
    // Delivered on the GUI thread once the worker has returned: what it made is complete.
    connect(m_thread, &QThread::finished, this, &CBackgroundRead::OnWorkerDone, Qt::QueuedConnection);
    m_poll.start();
    m_thread->start();
}

void CBackgroundRead::Cancel() {
    if (m_cancel.exchange(true)) {
        return;
    }
    Q_EMIT CancelAsked();
    if (m_dialog == nullptr) {
        return;
    }
    if (m_busyOnly) {
        m_dialog->cancel();  // hidden at once, also when it was still to come up
    } else {
        m_dialog->setLabelText(QStringLiteral("読み込みを止めています…"));
    }
}

void CBackgroundRead::SetBusyOnly(const QString& title, int showAfterMilliseconds) {
    m_busyOnly = true;
    m_title = title;
    m_showAfter = showAfterMilliseconds;
}

void CBackgroundRead::ShowProgress() {
    if (m_dialog == nullptr || m_cancel || m_busyOnly) {
        return;
    }
    const long long read = m_bytesRead;
    const long long total = m_totalBytes;
    if (total > 0) {
        // A bar that went busy before the total was known shows the share again.
        if (m_dialog->maximum() != kProgressSteps) {
            m_dialog->setRange(0, kProgressSteps);
        }
        m_dialog->setValue(static_cast<int>(std::min<long long>(kProgressSteps, read * kProgressSteps / total)));
        m_dialog->setLabelText(QStringLiteral("%1\n%2 / %3 MB").arg(m_label, Megabytes(read), Megabytes(total)));
    } else if (read > 0) {
        m_dialog->setRange(0, 0);  // a stream of unknown length: a busy bar
        m_dialog->setLabelText(QStringLiteral("%1\n%2 MB").arg(m_label, Megabytes(read)));
    }
    // Before the reader's first report the bar stays at its start.
}

void CBackgroundRead::OnWorkerDone() {
    m_poll.stop();
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    if (m_dialog != nullptr) {
        m_dialog->hide();
        m_dialog->deleteLater();
    }
    Q_EMIT Finished();
}

}  // namespace quorlet3
