// The file check: guest-number gaps, broken page and main-page records, empty lines.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "logstore/Accumulator.h"
#include "logstore/LineStore.h"
#include "logstore/NumberStream.h"

namespace quorlet3 {

// A guest number that does not follow the one before it by exactly 1.
struct GuestNumberGap {
    long long line;  // line number of the later guest-number line
    long long previous;
    long long number;
    template <class Ar>
    void Keep(Ar& ar) {
        ar(line, previous, number);
    }
};

// A main-page record line not followed by the next line of its record.
struct MainRecordBreak {
    long long line;  // line number of the line that is not followed
    int marker;      // its marker digit, 1 to 4
    template <class Ar>
    void Keep(Ar& ar) {
        ar(line, marker);
        if (marker < 1 || marker > 4) {
            throw StateError("a marker out of range");
        }
    }
};

// Line numbers count from 1 at the first slot of the store.
struct FileCheckResult {
    std::vector<GuestNumberGap> guestNumberGaps;
    std::vector<long long> pageRecordBreaks;  // line numbers, in report order
    std::vector<MainRecordBreak> mainRecordBreaks;
    bool blank = false;                 // no sentinel: nothing was loaded
    std::vector<long long> emptyLines;  // line numbers of empty lines before the sentinel
    template <class Ar>
    void Keep(Ar& ar) {
        ar(guestNumberGaps, pageRecordBreaks, mainRecordBreaks, blank, emptyLines);
    }

    long long Errors() const {
        return static_cast<long long>(guestNumberGaps.size() + pageRecordBreaks.size() + mainRecordBreaks.size() +
                                      emptyLines.size()) +
               (blank ? 1 : 0);
    }
};

// The findings of a check in report order, wherever they are kept: the writers of the
// check read them through this, from a result or from a whole log's spilled findings.
class FileCheckSource {
public:
    virtual ~FileCheckSource() = default;
    virtual bool Blank() const = 0;
    virtual long long Errors() const = 0;
    virtual void ForEachGuestNumberGap(const std::function<void(const GuestNumberGap&)>& each) const = 0;
    virtual void ForEachPageRecordBreak(const std::function<void(long long line)>& each) const = 0;
    virtual void ForEachMainRecordBreak(const std::function<void(const MainRecordBreak&)>& each) const = 0;
    virtual void ForEachEmptyLine(const std::function<void(long long line)>& each) const = 0;
};

// A result seen as a source.
class FileCheckResultSource final : public FileCheckSource {
public:
    explicit FileCheckResultSource(const FileCheckResult& check) : m_check(check) {}
    bool Blank() const override { return m_check.blank; }
    long long Errors() const override { return m_check.Errors(); }
    void ForEachGuestNumberGap(const std::function<void(const GuestNumberGap&)>& each) const override;
    void ForEachPageRecordBreak(const std::function<void(long long line)>& each) const override;
    void ForEachMainRecordBreak(const std::function<void(const MainRecordBreak&)>& each) const override;
    void ForEachEmptyLine(const std::function<void(long long line)>& each) const override;

private:
    const FileCheckResult& m_check;
};

// Line numbers in rising order, kept compactly: a run of consecutive numbers (a stretch
// of empty lines) takes a few bytes, whatever its length.
class LineRuns {
public:
    explicit LineRuns(size_t spillBytes = 0) : m_runs(spillBytes) {}
    void Add(long long line);
    // Adds every line of later, moved on by offset.
    void Append(const LineRuns& later, long long offset);
    void ForEach(const std::function<void(long long line)>& each) const;
    long long Count() const { return m_count; }

private:
    void AddRun(long long start, long long length);
    void EndRun();

    NumberStream m_runs;         // per run: its start less the end of the run before (zigzag), its length
    long long m_encodedEnd = 0;  // one past the last line of the runs in m_runs
    long long m_runStart = 0;    // the run not yet encoded
    long long m_runLength = 0;
    long long m_count = 0;
};

// The findings of a check, kept compactly; with spillBytes, in temporary files once a
// kind of finding takes that many bytes, so that their number does not weigh on the memory.
class FileCheckFindings final : public FileCheckSource {
public:
    explicit FileCheckFindings(size_t spillBytes = 0);

    void AddGuestNumberGap(const GuestNumberGap& gap);
    void AddPageRecordBreak(long long line) { m_pageRecordBreaks.Add(line); }
    void AddMainRecordBreak(long long line, int marker);
    void AddEmptyLine(long long line) { m_emptyLines.Add(line); }
    // Adds the findings of a later part, its line numbers moved on by offset.
    void Append(const FileCheckFindings& later, long long offset);
    void SetBlank(bool blank);
    // Line numbers are shown moved on by offset (the lines before a window).
    void ShiftLineNumbers(long long offset) { m_shown = offset; }
    // A kept state holds the findings as a result's lists; loading adds them in order.
    template <class Ar>
    void Keep(Ar& ar) {
        FileCheckResult listed;
        if constexpr (!Ar::kLoading) {
            listed = ToResult();
        }
        ar(listed);
        if constexpr (Ar::kLoading) {
            AddAll(listed);
        }
    }

    bool Blank() const override { return m_blank; }
    long long Errors() const override;
    void ForEachGuestNumberGap(const std::function<void(const GuestNumberGap&)>& each) const override;
    void ForEachPageRecordBreak(const std::function<void(long long line)>& each) const override;
    void ForEachMainRecordBreak(const std::function<void(const MainRecordBreak&)>& each) const override;
    void ForEachEmptyLine(const std::function<void(long long line)>& each) const override;

    FileCheckResult ToResult() const;
    // Adds every finding of a result, as read.
    void AddAll(const FileCheckResult& listed);

private:
    NumberStream m_gaps;  // per gap: line less the gap before's (zigzag), previous and number (zigzag)
    long long m_gapCount = 0;
    long long m_lastGapLine = 0;
    LineRuns m_pageRecordBreaks;
    NumberStream m_mainRecordBreaks;  // per break: line less the break before's (zigzag), marker
    long long m_mainCount = 0;
    long long m_lastMainLine = 0;
    LineRuns m_emptyLines;
    bool m_blank = false;
    long long m_shown = 0;
};

// The check over slots. Line numbers count from 1 at the first slot of the first part;
// a part that follows another has its numbers moved on by the slots before it.
class FileCheckAccumulator {
public:
    FileCheckAccumulator() = default;
    // Findings past spillBytes of each kind go to temporary files: for a whole log's check
    // that is written out from TakeFindings rather than held as a result.
    static FileCheckAccumulator Spilling(size_t spillBytes = size_t{1} << 20) {
        FileCheckAccumulator spilling;
        spilling.m_findings = FileCheckFindings(spillBytes);
        return spilling;
    }

    void Step(std::span<const Slot> batch);
    void Merge(FileCheckAccumulator& later);
    FileCheckAccumulator Fresh() const { return {}; }
    template <class Ar>
    void Keep(Ar& ar) {
        ar(m_findings, m_slots, m_anyGuest, m_firstNumber, m_firstLine, m_lastNumber);
    }
    FileCheckResult Finish(const WalkEnd& end);
    // The findings as they are kept, instead of Finish.
    FileCheckFindings TakeFindings(const WalkEnd& end);

private:
    FileCheckFindings m_findings;
    long long m_slots = 0;  // slots stepped
    // Guest numbers: the first one of a part is checked against the part before it at the merge.
    bool m_anyGuest = false;
    long long m_firstNumber = 0;
    long long m_firstLine = 0;
    long long m_lastNumber = 0;
};

FileCheckResult ComputeFileCheck(const LineStore& store);

// Adds offset to every line number, for a store that starts further into the file.
void ShiftLineNumbers(FileCheckResult& result, long long offset);

std::string FormatFileCheckText(const FileCheckResult& check);

// Writes the check's text to write in pieces of whole lines: the bytes of
// FormatFileCheckText, with each fixed piece of it (a heading, a message's words, a
// marker, always with its line end) passed through convert once, as a writer that shows
// the text in another encoding asks; numbers are ASCII and stay as they are.
using TextConversion = std::function<std::string(std::string_view cp932)>;
void WriteFileCheckText(const FileCheckSource& check, const std::function<void(std::string_view)>& write,
                        const TextConversion& convert = nullptr);

}  // namespace quorlet3
