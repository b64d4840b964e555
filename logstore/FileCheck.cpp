// The file check: guest-number gaps, broken page and main-page records, empty lines.
#include "logstore/FileCheck.h"

#include "logstore/Quorlet3Doc.h"
#include "logstore/ReadingRules.h"
#include "logstore/ReportText.h"

namespace quorlet3 {
namespace {

// Guest numbers must rise by exactly 1 from one guest-number line to the next.
void CheckGuestNumbers(const LineStore& store, FileCheckResult& check) {
    int previous = 0;
    Walk(store, [&](int i, const std::string& line) {
        if (!HasMarker(line, kMarker1)) {
            return;
        }
        const int n = GuestNumberValue(line);
        if (previous != 0 && n != previous + 1) {
            check.guestNumberGaps.push_back({i + 1, previous, n});
        }
        previous = n;
    });
}

// Checks each line i < 9999 (before the first sentinel) against line i + 1.
template <class Test>
void ForEachLinePair(const LineStore& store, Test&& test) {
    for (int i = 0; i < kLineSlots - 1 && !IsSentinel(store[i]); ++i) {
        test(i, store[i], store[i + 1]);
    }
}

// A page-name line must be followed by its time stamp, and a time stamp preceded by its page.
void CheckPageRecords(const LineStore& store, FileCheckResult& check) {
    ForEachLinePair(store, [&](int i, const std::string& line, const std::string& next) {
        if (HasMarker(line, kMarker6) && !HasMarker(next, kMarker7)) {
            check.pageRecordBreaks.push_back(i + 1);
        }
        if (HasMarker(next, kMarker7) && !HasMarker(line, kMarker6)) {
            check.pageRecordBreaks.push_back(i + 2);
        }
    });
}

// Each of lines one to four of a main-page record must be followed by the next one.
// Runs up to slot 9998 like the page-record pass, so a record broken in the last
// lines of a full store is reported too.
void CheckMainPageRecords(const LineStore& store, FileCheckResult& check) {
    static constexpr std::string_view kRecord[] = {kMarker1, kMarker2, kMarker3, kMarker4, kMarker5};
    ForEachLinePair(store, [&](int i, const std::string& line, const std::string& next) {
        for (int digit = 1; digit <= 4; ++digit) {
            if (HasMarker(line, kRecord[digit - 1]) && !HasMarker(next, kRecord[digit])) {
                check.mainRecordBreaks.push_back({i + 1, digit});
            }
        }
    });
}

// Lists the empty lines before the sentinel, or calls the store blank when it holds none.
void CheckEmptyLines(const LineStore& store, FileCheckResult& check) {
    int sentinel = -1;
    for (int slot = 0; slot < kStoreSlots; ++slot) {
        if (IsSentinel(store[slot])) {
            sentinel = slot;
            break;
        }
    }
    if (sentinel < 0) {
        check.blank = true;
        return;
    }
    for (int j = 0; j < sentinel; ++j) {
        if (store[j].empty()) {
            check.emptyLines.push_back(j + 1);
        }
    }
}

}  // namespace

FileCheckResult ComputeFileCheck(const LineStore& store) {
    FileCheckResult check;
    CheckGuestNumbers(store, check);
    CheckPageRecords(store, check);
    CheckMainPageRecords(store, check);
    CheckEmptyLines(store, check);
    return check;
}

void ShiftLineNumbers(FileCheckResult& result, int offset) {
    for (GuestNumberGap& gap : result.guestNumberGaps) {
        gap.line += offset;
    }
    for (int& line : result.pageRecordBreaks) {
        line += offset;
    }
    for (MainRecordBreak& broken : result.mainRecordBreaks) {
        broken.line += offset;
    }
    for (int& line : result.emptyLines) {
        line += offset;
    }
}

std::string FormatFileCheckText(const FileCheckResult& check) {
    std::string text = "ファイル検査\r\n\r\n"_sj;
    text += "********** 訪問者Ｎｏ **********\r\n"_sj;
    for (const GuestNumberGap& gap : check.guestNumberGaps) {
        AppendFormat(text, "%d行目　%d番～%d番\r\n"_sjf, gap.line, gap.previous, gap.number);
    }
    text += "********** ⑥と⑦の不連続 **********\r\n"_sj;
    for (int line : check.pageRecordBreaks) {
        AppendFormat(text, "%d行目　⑥と⑦の不連続\r\n"_sjf, line);
    }
    text += "********** ①～⑤の不連続 **********\r\n"_sj;
    for (const MainRecordBreak& broken : check.mainRecordBreaks) {
        AppendFormat(text, "%d行目 "_sjf, broken.line);
        text += MarkerOf(broken.marker);
        text += "と"_sj;
        text += MarkerOf(broken.marker + 1);
        text += "の不連続\r\n"_sj;
    }
    text += "********** 空欄 **********\r\n"_sj;
    if (check.blank) {
        text += "このファイルは空白です。(データがありません。)\r\n"_sj;
    }
    for (int line : check.emptyLines) {
        AppendFormat(text, "%d行目 空欄\r\n"_sjf, line);
    }
    const int errors = check.Errors();
    if (errors == 0) {
        text += "\r\nエラーはありませんでした。\r\n"_sj;
    } else {
        AppendFormat(text, "\r\nエラーは、%d　個ありました。\r\n"_sjf, errors);
    }
    return text;
}

std::string CQuorlet3Doc::ReportFileCheck() const { return FormatFileCheckText(ComputeFileCheck(Store())); }

}  // namespace quorlet3
