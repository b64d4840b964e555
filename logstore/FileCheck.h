// The file check: guest-number gaps, broken page and main-page records, empty lines.
#pragma once

#include <string>
#include <vector>

#include "logstore/Accumulator.h"
#include "logstore/LineStore.h"

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

// The check over slots. Line numbers count from 1 at the first slot of the first part;
// a part that follows another has its numbers moved on by the slots before it.
class FileCheckAccumulator {
public:
    void Step(std::span<const Slot> batch);
    void Merge(FileCheckAccumulator& later);
    FileCheckAccumulator Fresh() const { return {}; }
    template <class Ar>
    void Keep(Ar& ar) {
        ar(m_check, m_slots, m_anyGuest, m_firstNumber, m_firstLine, m_lastNumber);
    }
    FileCheckResult Finish(const WalkEnd& end);

private:
    FileCheckResult m_check;
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

}  // namespace quorlet3
