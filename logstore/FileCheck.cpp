// The file check: guest-number gaps, broken page and main-page records, empty lines.
#include "logstore/FileCheck.h"

#include <type_traits>

#include "logstore/ReadingRules.h"
#include "logstore/ReportText.h"

namespace quorlet3 {
namespace {

// The marker digits of the two kinds of record.
constexpr int kMainFirst = MarkerDigit(kMarker1);
constexpr int kMainLast = MarkerDigit(kMarker5);
constexpr int kPageName = MarkerDigit(kMarker6);
constexpr int kPageTime = MarkerDigit(kMarker7);

template <class Item>
void AppendShifted(std::vector<Item>& to, const std::vector<Item>& from, long long offset) {
    for (Item item : from) {
        if constexpr (std::is_same_v<Item, long long>) {
            item += offset;
        } else {
            item.line += offset;
        }
        to.push_back(item);
    }
}

}  // namespace

void FileCheckAccumulator::Step(std::span<const Slot> batch) {
    for (const Slot& s : batch) {
        const long long line = static_cast<long long>(s.index) + 1;
        const int marker = MarkerDigit(s.line);
        // Guest numbers must rise by exactly 1 from one guest-number line to the next.
        if (marker == MarkerDigit(kMarker1)) {
            const long long n = GuestNumberValue(s.line);
            if (!m_anyGuest) {
                m_anyGuest = true;
                m_firstNumber = n;
                m_firstLine = line;
            } else if (m_lastNumber != 0 && n != m_lastNumber + 1) {
                m_check.guestNumberGaps.push_back({line, m_lastNumber, n});
            }
            m_lastNumber = n;
        }
        if (s.pairsWithNext) {
            const int next = MarkerDigit(s.next);
            // A page-name line must be followed by its time stamp, and a time stamp preceded by its page.
            if (marker == kPageName && next != kPageTime) {
                m_check.pageRecordBreaks.push_back(line);
            }
            if (next == kPageTime && marker != kPageName) {
                m_check.pageRecordBreaks.push_back(line + 1);
            }
            // Each of lines one to four of a main-page record must be followed by the next one.
            if (marker >= kMainFirst && marker < kMainLast && next != marker + 1) {
                m_check.mainRecordBreaks.push_back({line, marker});
            }
        }
        if (s.line.empty()) {
            m_check.emptyLines.push_back(line);
        }
    }
    m_slots += static_cast<long long>(batch.size());
}

void FileCheckAccumulator::Merge(FileCheckAccumulator& later) {
    const long long offset = m_slots;
    if (later.m_anyGuest) {
        if (m_anyGuest && m_lastNumber != 0 && later.m_firstNumber != m_lastNumber + 1) {
            m_check.guestNumberGaps.push_back({later.m_firstLine + offset, m_lastNumber, later.m_firstNumber});
        }
        if (!m_anyGuest) {
            m_anyGuest = true;
            m_firstNumber = later.m_firstNumber;
            m_firstLine = later.m_firstLine + offset;
        }
        m_lastNumber = later.m_lastNumber;
    }
    AppendShifted(m_check.guestNumberGaps, later.m_check.guestNumberGaps, offset);
    AppendShifted(m_check.pageRecordBreaks, later.m_check.pageRecordBreaks, offset);
    AppendShifted(m_check.mainRecordBreaks, later.m_check.mainRecordBreaks, offset);
    AppendShifted(m_check.emptyLines, later.m_check.emptyLines, offset);
    m_slots += later.m_slots;
}

FileCheckResult FileCheckAccumulator::Finish(const WalkEnd& end) {
    // Without a sentinel nothing was loaded: the store is blank, and its empty slots are no finding.
    m_check.blank = !end.sentinel;
    if (m_check.blank) {
        m_check.emptyLines.clear();
    }
    return std::move(m_check);
}

FileCheckResult ComputeFileCheck(const LineStore& store) { return ComputeOverStore(store, FileCheckAccumulator()); }

void ShiftLineNumbers(FileCheckResult& result, long long offset) {
    for (GuestNumberGap& gap : result.guestNumberGaps) {
        gap.line += offset;
    }
    for (long long& line : result.pageRecordBreaks) {
        line += offset;
    }
    for (MainRecordBreak& broken : result.mainRecordBreaks) {
        broken.line += offset;
    }
    for (long long& line : result.emptyLines) {
        line += offset;
    }
}

std::string FormatFileCheckText(const FileCheckResult& check) {
    std::string text = "ファイル検査\r\n\r\n"_sj;
    text += "********** 訪問者Ｎｏ **********\r\n"_sj;
    for (const GuestNumberGap& gap : check.guestNumberGaps) {
        AppendFormat(text, "%lld行目　%lld番～%lld番\r\n"_sjf, gap.line, gap.previous, gap.number);
    }
    text += "********** ⑥と⑦の不連続 **********\r\n"_sj;
    for (const long long line : check.pageRecordBreaks) {
        AppendFormat(text, "%lld行目　⑥と⑦の不連続\r\n"_sjf, line);
    }
    text += "********** ①～⑤の不連続 **********\r\n"_sj;
    for (const MainRecordBreak& broken : check.mainRecordBreaks) {
        AppendFormat(text, "%lld行目 "_sjf, broken.line);
        text += MarkerOf(broken.marker);
        text += "と"_sj;
        text += MarkerOf(broken.marker + 1);
        text += "の不連続\r\n"_sj;
    }
    text += "********** 空欄 **********\r\n"_sj;
    if (check.blank) {
        text += "このファイルは空白です。(データがありません。)\r\n"_sj;
    }
    for (const long long line : check.emptyLines) {
        AppendFormat(text, "%lld行目 空欄\r\n"_sjf, line);
    }
    const long long errors = check.Errors();
    if (errors == 0) {
        text += "\r\nエラーはありませんでした。\r\n"_sj;
    } else {
        AppendFormat(text, "\r\nエラーは、%lld　個ありました。\r\n"_sjf, errors);
    }
    return text;
}

}  // namespace quorlet3
