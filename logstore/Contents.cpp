// The contents listing: one output line per record, markers left out.
#include "logstore/Contents.h"

#include "logstore/ReadingRules.h"
#include "logstore/ReportText.h"

namespace quorlet3 {

bool AskToListLongLog(IQuestionBox* questions, long long n) {
    if (n < 1000 || questions == nullptr) {
        return true;
    }
    std::string text;
    if (n >= 4000) {
        AppendFormat(
            text,
            "これらのログは、%d 行もあります。\n表示には非常に時間がかかり、表示できない可能性もあります。\n表示しますか？"_sjf,
            static_cast<int>(n));
        return questions->AskOkCancel(text, QuestionIcon::Stop, DefaultButton::Cancel);
    }
    AppendFormat(text, "これらのログは、%d 行あります。\n表示に数秒～数十秒かかりますが表示しますか？"_sjf,
                 static_cast<int>(n));
    return questions->AskOkCancel(text, QuestionIcon::Default, DefaultButton::Ok);
}

namespace {

// What each marker's line adds to the listing around its content. The last line of
// each kind of record ends the output line; lines without a marker add nothing.
struct ListingPiece {
    std::string_view marker;
    std::string_view before;
    std::string_view after;
    bool endsRow;
};
constexpr ListingPiece kListingPieces[] = {
    {kMarker1, "", " ", false}, {kMarker2, "", " ", false},      {kMarker3, "", " ", false}, {kMarker4, "", " ", false},
    {kMarker5, "", "", true},   {kMarker6, "\t", "    ", false}, {kMarker7, "\t", "", true},
};

}  // namespace

namespace {

// A row that runs on goes to a sink in pieces of about this size.
constexpr size_t kRowPiece = size_t{1} << 16;

}  // namespace

void ContentsAccumulator::EndRow() {
    if (m_sink) {
        m_sink(m_row, RowPiece::Ends);
        m_rowPassedOn = false;
    } else {
        m_rows.push_back(m_row);
    }
    m_row.clear();
}

void ContentsAccumulator::PassOnLongRow() {
    if (m_sink && m_row.size() >= kRowPiece) {
        m_sink(m_row, RowPiece::Continues);
        m_rowPassedOn = true;
        m_row.clear();
    }
}

void ContentsAccumulator::Step(std::span<const Slot> batch) {
    for (const Slot& s : batch) {
        for (const ListingPiece& piece : kListingPieces) {
            if (HasMarker(s.line, piece.marker)) {
                m_row += piece.before;
                m_row += Content(s.line);
                m_row += piece.after;
                if (piece.endsRow) {
                    EndRow();
                } else {
                    PassOnLongRow();
                }
                break;
            }
        }
    }
}

void ContentsAccumulator::Merge(ContentsAccumulator& later) {
    // The later part's first row (finished or not) goes on from this part's open row.
    if (later.m_rows.empty()) {
        m_row += later.m_row;
        PassOnLongRow();
        return;
    }
    later.m_rows.front().insert(0, m_row);
    m_row = std::move(later.m_row);
    for (std::string& row : later.m_rows) {
        if (m_sink) {
            m_sink(row, RowPiece::Ends);
            m_rowPassedOn = false;
        } else {
            m_rows.push_back(std::move(row));
        }
    }
    PassOnLongRow();
}

ContentsResult ContentsAccumulator::Finish(const WalkEnd& end) {
    ContentsResult result;
    result.lines = static_cast<int>(end.visited);
    result.rows = std::move(m_rows);
    // Every piece that leaves its row open adds a separator, so an open row is never empty.
    if (!m_row.empty() || m_rowPassedOn) {
        if (m_sink) {
            m_sink(m_row, RowPiece::Open);
        } else {
            result.rows.push_back(std::move(m_row));
            result.lastRowOpen = true;
        }
    }
    return result;
}

ContentsResult ComputeContents(const LineStore& store) { return ComputeOverStore(store, ContentsAccumulator()); }

std::string FormatContentsText(const ContentsResult& result) {
    size_t size = 0;
    for (const std::string& row : result.rows) {
        size += row.size() + 2;
    }
    std::string text;
    text.reserve(size);
    for (size_t i = 0; i < result.rows.size(); ++i) {
        text += result.rows[i];
        if (i + 1 < result.rows.size() || !result.lastRowOpen) {
            text += "\r\n";
        }
    }
    return text;
}

}  // namespace quorlet3
