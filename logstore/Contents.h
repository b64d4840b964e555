// The contents listing: one output line per record, markers left out.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "logstore/Accumulator.h"
#include "logstore/Dialogs.h"
#include "logstore/LineStore.h"

namespace quorlet3 {

struct ContentsResult {
    long long lines = 0;            // slots walked: the size the user is asked about
    std::vector<std::string> rows;  // the listing's lines without their line ends
    bool lastRowOpen = false;       // the last row has no line end (its record is cut short)
};

// How a piece of the listing handed to a sink ends its row.
enum class RowPiece {
    Continues,  // more of the row follows: a row that runs on over many records comes in pieces
    Ends,       // the row is whole: a line end follows
    Open,       // the last row, whose record was cut short: no line end follows
};

// Takes the listing as it comes, instead of keeping it: each row in one piece or more,
// in order. A piece ends after a record line's separator or at the row's end, so a
// piece holds whole characters.
using ContentsRowSink = std::function<void(std::string_view piece, RowPiece end)>;

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

    // Hands out the row being built once it is long (with a sink only).
    void PassOnLongRow();

    ContentsRowSink m_sink;
    bool m_rowPassedOn = false;       // part of the row being built went to the sink already
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
