// The document: owns the line store and loads the log into it. Reports are computed by
// the command table's rows over the store.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "logstore/Dialogs.h"
#include "logstore/LineStore.h"
#include "logstore/LogLoader.h"

namespace quorlet3 {

struct WholeLogReports;

class CQuorlet3Doc {
public:
    CQuorlet3Doc();

    // Dialogs the document asks through; either may be null (then the chooser
    // declines and every question is answered OK).
    void SetFileChooser(IFileChooser* chooser) { m_fileChooser = chooser; }
    void SetQuestionBox(IQuestionBox* questions) { m_questionBox = questions; }

    // Asks the chooser for a log file without loading it: the path, or nothing when the
    // chooser declines (or there is none).
    std::optional<std::string> ChooseLogFile();

    // Asks the chooser for a log file and loads it. Returns the path, or nothing
    // when the chooser declines (the store then stays as it was). Throws LogFileError when the file cannot be opened
    // or read; the store is then left exactly as it was.
    std::optional<std::string> SelectLogFile();

    // Loads the log at path into a fresh store and puts it in place of the old one.
    // Throws LogFileError (store unchanged) when it cannot be opened or read.
    void LoadLogFile(const std::string& path);

    // Loads a log held in memory as LoadLogFile loads a file holding these bytes
    // (refilling the store in place: a fuzz run loads millions of small logs).
    void LoadLogBytes(std::string_view bytes);

    // Loads one window of the log in place of the store (see LineWindow) and tells
    // where it starts in the file. Throws like LoadLogFile, the store then unchanged.
    struct WindowStart {
        long long startByte = 0;
        std::optional<long long> linesBefore;  // file lines before the window, when known
    };
    WindowStart LoadLogWindow(const std::string& path, const LineWindow& window);

    const LineStore& Store() const { return m_store ? *m_store : EmptyStore(); }

    // Puts a whole log in place of what was loaded: the reports over all its lines and
    // the store of its first lines (for the listing). Every other load drops it again.
    void AdoptWholeLog(std::unique_ptr<LineStore> firstLines, std::shared_ptr<const WholeLogReports> reports);
    // The whole log's reports, or null when the store holds what was loaded.
    const std::shared_ptr<const WholeLogReports>& WholeLog() const { return m_whole; }

    // The question box the long-listing question goes to (null: never asked).
    IQuestionBox* QuestionBox() const { return m_questionBox; }

private:
    // The store before the first load: every slot empty, no sentinel. Shared and built
    // on first use, so a document that loads at once never fills a store it drops.
    static const LineStore& EmptyStore();

    std::unique_ptr<LineStore> m_store;              // null until a load succeeds
    std::shared_ptr<const WholeLogReports> m_whole;  // set by a whole-log load only
    IFileChooser* m_fileChooser = nullptr;
    IQuestionBox* m_questionBox = nullptr;
};

}  // namespace quorlet3
