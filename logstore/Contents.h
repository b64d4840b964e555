// The contents listing: one output line per record, markers left out.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "logstore/Accumulator.h"
#include "logstore/LineStore.h"
#include "platform/Dialogs.h"

namespace quorlet3 {

struct ContentsResult {
    long long lines = 0;            // slots walked: the size the user is asked about
    std::vector<std::string> rows;  // the listing's lines without their line ends
    bool lastRowOpen = false;       // the last row has no line end (its record is cut short)
};

// Takes each finished row of the listing as it comes, instead of keeping it: open is
// true for a last row whose record was cut short (it gets no line end).
using ContentsRowSink = std::function<void(std::string_view row, bool open)>;

// The listing over slots. A part's first row may continue the row the part before it left open.
class ContentsAccumulator {
public:
    ContentsAccumulator() = default;
    // Rows go to sink in order as soon as everything before them is known; the result then holds none.
    explicit ContentsAccumulator(ContentsRowSink sink) : m_sink(std::move(sink)) {}

    void Step(std::span<const Slot> batch);
    void Merge(ContentsAccumulator& later);
    ContentsAccumulator Fresh() const { return {}; }
    template <class Ar>
    void Keep(Ar& ar) {
        ar(m_rows, m_row);
    }
    ContentsResult Finish(const WalkEnd& end);

private:
    void EndRow();

    ContentsRowSink m_sink;
    std::vector<std::string> m_rows;  // finished rows (none when they go to the sink); in a part
                                      // after the first, rows[0] goes on from the part before
    std::string m_row;                // the row being built
};

ContentsResult ComputeContents(const LineStore& store);

// Long listings are slow to show, so the user is asked first (n: the lines walked).
// True means go on; without a question box the answer is always to go on.
bool AskToListLongLog(IQuestionBox* questions, long long n);
std::string FormatContentsText(const ContentsResult& result);

}  // namespace quorlet3
