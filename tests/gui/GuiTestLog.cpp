// Helpers of the GUI tests.
#include "tests/gui/GuiTestLog.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QFile>
#include <QTimer>
#include <stdexcept>

#include "logstore/LineStore.h"
#include "platform/Cp932.h"
#include "platform/QtText.h"

namespace quorlet3::guitest {
namespace {

std::string Line(std::string_view marker, std::string_view content) {
    return std::string(marker) + std::string(content);
}

std::string TimeStamp(int day, int hour) {
    char text[64];
    std::snprintf(text, sizeof text, "Wednesday, %02d-Jul-98 %02d:15:42 JST", day, hour);
    return text;
}

}  // namespace

std::string Cp932(std::string_view utf8) {
    std::optional<std::string> bytes = EncodeUtf8ToCp932(utf8);
    if (!bytes) {
        throw std::invalid_argument("not representable in cp932");
    }
    return *bytes;
}

std::vector<std::string> MainRecord(int guestNumber, int hour, std::string_view browser) {
    return {Line(kMarker1, std::to_string(guestNumber)), Line(kMarker2, TimeStamp(1, hour)),
            Line(kMarker3, "ppp01.example.ne.jp"), Line(kMarker4, browser), Line(kMarker5, "")};
}

std::vector<std::string> PageRecord(std::string_view pageUtf8, int day, int hour) {
    return {Line(kMarker6, Cp932(pageUtf8)), Line(kMarker7, TimeStamp(day, hour))};
}

std::vector<std::string> PlainLines(int n) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(n));
    for (int i = 1; i <= n; ++i) {
        lines.push_back("line " + std::to_string(i));
    }
    return lines;
}

std::string LogFolder::Path(const QString& name) const { return QFile::encodeName(m_dir.filePath(name)).toStdString(); }

std::string LogFolder::Write(const QString& name, const std::vector<std::string>& lines) {
    QFile file(m_dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly)) {
        throw std::runtime_error("cannot write the test log");
    }
    for (const std::string& line : lines) {
        file.write(line.data(), static_cast<qint64>(line.size()));
        file.write("\r\n");
    }
    return Path(name);
}

std::optional<std::string> FakeChooser::ChooseLogFile() {
    ++m_calls;
    m_waitCursorWhenAsked = WaitCursorOn();
    if (m_answers.empty()) {
        return std::nullopt;
    }
    std::optional<std::string> answer = m_answers.front();
    m_answers.erase(m_answers.begin());
    return answer;
}

bool FakeQuestions::AskOkCancel(std::string_view textCp932, QuestionIcon icon, DefaultButton defaultButton) {
    ++m_calls;
    m_lastText = Cp932ToQString(textCp932);
    m_lastIcon = icon;
    m_lastDefault = defaultButton;
    return m_answer;
}

bool WaitCursorOn() {
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}

void CloseNextModal(QString* caption) {
    QTimer::singleShot(0, [caption] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            *caption = modal->windowTitle();
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            }
        }
    });
}

}  // namespace quorlet3::guitest
