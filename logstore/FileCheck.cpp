// The file check: guest-number gaps, broken page and main-page records, empty lines.
#include "logstore/FileCheck.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "logstore/ReadingRules.h"
#include "logstore/ReportText.h"

namespace quorlet3 {
namespace {

// The marker digits of the two kinds of record.
constexpr int kMainFirst = MarkerDigit(kMarker1);
constexpr int kMainLast = MarkerDigit(kMarker5);
constexpr int kPageName = MarkerDigit(kMarker6);
constexpr int kPageTime = MarkerDigit(kMarker7);

// The text's pieces go out in pieces of about this size.
constexpr size_t kTextPiece = size_t{1} << 16;

void AppendNumber(std::string& text, long long value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text.append(digits, static_cast<size_t>(end - digits));
}

}  // namespace

void FileCheckResultSource::ForEachGuestNumberGap(const std::function<void(const GuestNumberGap&)>& each) const {
    for (const GuestNumberGap& gap : m_check.guestNumberGaps) {
        each(gap);
    }
}
void FileCheckResultSource::ForEachPageRecordBreak(const std::function<void(long long)>& each) const {
    for (long long line : m_check.pageRecordBreaks) {
        each(line);
    }
}
void FileCheckResultSource::ForEachMainRecordBreak(const std::function<void(const MainRecordBreak&)>& each) const {
    for (const MainRecordBreak& broken : m_check.mainRecordBreaks) {
        each(broken);
    }
}
void FileCheckResultSource::ForEachEmptyLine(const std::function<void(long long)>& each) const {
    for (long long line : m_check.emptyLines) {
        each(line);
    }
}

void LineRuns::Add(long long line) { AddRun(line, 1); }

void LineRuns::AddRun(long long start, long long length) {
    m_count += length;
    if (m_runLength > 0 && start == m_runStart + m_runLength) {
        m_runLength += length;
        return;
    }
    EndRun();
    m_runStart = start;
    m_runLength = length;
}

void LineRuns::EndRun() {
    if (m_runLength == 0) {
        return;
    }
    const std::uint64_t run[] = {NumberStream::Zigzag(m_runStart - m_encodedEnd),
                                 static_cast<std::uint64_t>(m_runLength)};
    m_runs.Add(run);
    m_encodedEnd = m_runStart + m_runLength;
    m_runLength = 0;
}

void LineRuns::Append(const LineRuns& later, long long offset) {
    long long end = 0;
    later.m_runs.ForEach(2, [&](const std::uint64_t* run) {
        const long long start = end + NumberStream::Unzigzag(run[0]);
        const auto length = static_cast<long long>(run[1]);
        AddRun(start + offset, length);
        end = start + length;
    });
    if (later.m_runLength > 0) {
        AddRun(later.m_runStart + offset, later.m_runLength);
    }
}

void LineRuns::ForEach(const std::function<void(long long)>& each) const {
    auto lines = [&](long long start, long long length) {
        for (long long line = start; line < start + length; ++line) {
            each(line);
        }
    };
    long long end = 0;
    m_runs.ForEach(2, [&](const std::uint64_t* run) {
        const long long start = end + NumberStream::Unzigzag(run[0]);
        const auto length = static_cast<long long>(run[1]);
        lines(start, length);
        end = start + length;
    });
    lines(m_runStart, m_runLength);
}

FileCheckFindings::FileCheckFindings(size_t spillBytes)
    : m_gaps(spillBytes), m_pageRecordBreaks(spillBytes), m_mainRecordBreaks(spillBytes), m_emptyLines(spillBytes) {}

void FileCheckFindings::AddGuestNumberGap(const GuestNumberGap& gap) {
    const std::uint64_t record[] = {NumberStream::Zigzag(gap.line - m_lastGapLine), NumberStream::Zigzag(gap.previous),
                                    NumberStream::Zigzag(gap.number)};
    m_gaps.Add(record);
    m_lastGapLine = gap.line;
    ++m_gapCount;
}

void FileCheckFindings::AddMainRecordBreak(long long line, int marker) {
    const std::uint64_t record[] = {NumberStream::Zigzag(line - m_lastMainLine), static_cast<std::uint64_t>(marker)};
    m_mainRecordBreaks.Add(record);
    m_lastMainLine = line;
    ++m_mainCount;
}

void FileCheckFindings::Append(const FileCheckFindings& later, long long offset) {
    long long line = 0;
    later.m_gaps.ForEach(3, [&](const std::uint64_t* record) {
        line += NumberStream::Unzigzag(record[0]);
        AddGuestNumberGap({line + offset, NumberStream::Unzigzag(record[1]), NumberStream::Unzigzag(record[2])});
    });
    m_pageRecordBreaks.Append(later.m_pageRecordBreaks, offset);
    line = 0;
    later.m_mainRecordBreaks.ForEach(2, [&](const std::uint64_t* record) {
        line += NumberStream::Unzigzag(record[0]);
        AddMainRecordBreak(line + offset, static_cast<int>(record[1]));
    });
    m_emptyLines.Append(later.m_emptyLines, offset);
}

void FileCheckFindings::SetBlank(bool blank) {
    m_blank = blank;
    if (blank) {
        m_emptyLines = LineRuns();  // without a sentinel the empty slots are no finding
    }
}

long long FileCheckFindings::Errors() const {
    return m_gapCount + m_pageRecordBreaks.Count() + m_mainCount + m_emptyLines.Count() + (m_blank ? 1 : 0);
}

void FileCheckFindings::ForEachGuestNumberGap(const std::function<void(const GuestNumberGap&)>& each) const {
    long long line = 0;
    m_gaps.ForEach(3, [&](const std::uint64_t* record) {
        line += NumberStream::Unzigzag(record[0]);
        each({line + m_shown, NumberStream::Unzigzag(record[1]), NumberStream::Unzigzag(record[2])});
    });
}

void FileCheckFindings::ForEachPageRecordBreak(const std::function<void(long long)>& each) const {
    m_pageRecordBreaks.ForEach([&](long long line) { each(line + m_shown); });
}

void FileCheckFindings::ForEachMainRecordBreak(const std::function<void(const MainRecordBreak&)>& each) const {
    long long line = 0;
    m_mainRecordBreaks.ForEach(2, [&](const std::uint64_t* record) {
        line += NumberStream::Unzigzag(record[0]);
        each({line + m_shown, static_cast<int>(record[1])});
    });
}

void FileCheckFindings::ForEachEmptyLine(const std::function<void(long long)>& each) const {
    m_emptyLines.ForEach([&](long long line) { each(line + m_shown); });
}

void FileCheckFindings::AddAll(const FileCheckResult& listed) {
    for (const GuestNumberGap& gap : listed.guestNumberGaps) {
        AddGuestNumberGap(gap);
    }
    for (const long long line : listed.pageRecordBreaks) {
        AddPageRecordBreak(line);
    }
    for (const MainRecordBreak& broken : listed.mainRecordBreaks) {
        AddMainRecordBreak(broken.line, broken.marker);
    }
    for (const long long line : listed.emptyLines) {
        AddEmptyLine(line);
    }
    m_blank = listed.blank;
}

FileCheckResult FileCheckFindings::ToResult() const {
    FileCheckResult check;
    ForEachGuestNumberGap([&](const GuestNumberGap& gap) { check.guestNumberGaps.push_back(gap); });
    ForEachPageRecordBreak([&](long long line) { check.pageRecordBreaks.push_back(line); });
    ForEachMainRecordBreak([&](const MainRecordBreak& broken) { check.mainRecordBreaks.push_back(broken); });
    check.blank = m_blank;
    ForEachEmptyLine([&](long long line) { check.emptyLines.push_back(line); });
    return check;
}

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
                m_findings.AddGuestNumberGap({line, m_lastNumber, n});
            }
            m_lastNumber = n;
        }
        if (s.pairsWithNext) {
            const int next = MarkerDigit(s.next);
            // A page-name line must be followed by its time stamp, and a time stamp preceded by its page.
            if (marker == kPageName && next != kPageTime) {
                m_findings.AddPageRecordBreak(line);
            }
            if (next == kPageTime && marker != kPageName) {
                m_findings.AddPageRecordBreak(line + 1);
            }
            // Each of lines one to four of a main-page record must be followed by the next one.
            if (marker >= kMainFirst && marker < kMainLast && next != marker + 1) {
                m_findings.AddMainRecordBreak(line, marker);
            }
        }
        if (s.line.empty()) {
            m_findings.AddEmptyLine(line);
        }
    }
    m_slots += static_cast<long long>(batch.size());
}

void FileCheckAccumulator::Merge(FileCheckAccumulator& later) {
    const long long offset = m_slots;
    // The part's first guest number follows this part's last; its finding comes first in the part.
    if (later.m_anyGuest) {
        if (m_anyGuest && m_lastNumber != 0 && later.m_firstNumber != m_lastNumber + 1) {
            m_findings.AddGuestNumberGap({later.m_firstLine + offset, m_lastNumber, later.m_firstNumber});
        }
        if (!m_anyGuest) {
            m_anyGuest = true;
            m_firstNumber = later.m_firstNumber;
            m_firstLine = later.m_firstLine + offset;
        }
        m_lastNumber = later.m_lastNumber;
    }
    m_findings.Append(later.m_findings, offset);
    m_slots += later.m_slots;
}

FileCheckFindings FileCheckAccumulator::TakeFindings(const WalkEnd& end) {
    // Without a sentinel nothing was loaded: the store is blank, and its empty slots are no finding.
    m_findings.SetBlank(!end.sentinel);
    return std::move(m_findings);
}

FileCheckResult FileCheckAccumulator::Finish(const WalkEnd& end) { return TakeFindings(end).ToResult(); }

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
    std::string text;
    WriteFileCheckText(FileCheckResultSource(check), [&text](std::string_view piece) { text += piece; });
    return text;
}

void WriteFileCheckText(const FileCheckSource& check, const std::function<void(std::string_view)>& write,
                        const TextConversion& convert) {
    auto fixed = [&](std::string_view cp932) { return convert ? convert(cp932) : std::string(cp932); };
    const std::string afterGapLine = fixed("行目　"_sj);
    const std::string afterGapPrevious = fixed("番～"_sj);
    const std::string afterGapNumber = fixed("番\r\n"_sj);
    const std::string pageBreak = fixed("行目　⑥と⑦の不連続\r\n"_sj);
    std::array<std::string, kMainLast> mainBreaks;  // by the marker of the line not followed
    for (int marker = kMainFirst; marker < kMainLast; ++marker) {
        mainBreaks.at(static_cast<size_t>(marker)) = fixed("行目 "_sj + std::string(MarkerOf(marker)) + "と"_sj +
                                                           std::string(MarkerOf(marker + 1)) + "の不連続\r\n"_sj);
    }
    const std::string emptyLine = fixed("行目 空欄\r\n"_sj);

    std::string text = fixed("ファイル検査\r\n\r\n"_sj);
    auto lineDone = [&] {
        if (text.size() >= kTextPiece) {
            write(text);
            text.clear();
        }
    };
    text += fixed("********** 訪問者Ｎｏ **********\r\n"_sj);
    check.ForEachGuestNumberGap([&](const GuestNumberGap& gap) {
        AppendNumber(text, gap.line);
        text += afterGapLine;
        AppendNumber(text, gap.previous);
        text += afterGapPrevious;
        AppendNumber(text, gap.number);
        text += afterGapNumber;
        lineDone();
    });
    text += fixed("********** ⑥と⑦の不連続 **********\r\n"_sj);
    check.ForEachPageRecordBreak([&](long long line) {
        AppendNumber(text, line);
        text += pageBreak;
        lineDone();
    });
    text += fixed("********** ①～⑤の不連続 **********\r\n"_sj);
    check.ForEachMainRecordBreak([&](const MainRecordBreak& broken) {
        AppendNumber(text, broken.line);
        text += mainBreaks.at(static_cast<size_t>(broken.marker));
        lineDone();
    });
    text += fixed("********** 空欄 **********\r\n"_sj);
    if (check.Blank()) {
        text += fixed("このファイルは空白です。(データがありません。)\r\n"_sj);
    }
    check.ForEachEmptyLine([&](long long line) {
        AppendNumber(text, line);
        text += emptyLine;
        lineDone();
    });
    const long long errors = check.Errors();
    if (errors == 0) {
        text += fixed("\r\nエラーはありませんでした。\r\n"_sj);
    } else {
        text += fixed("\r\nエラーは、"_sj);
        AppendNumber(text, errors);
        text += fixed("　個ありました。\r\n"_sj);
    }
    write(text);
}

}  // namespace quorlet3
