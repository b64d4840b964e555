// The file check: guest-number gaps, broken page and main-page records, empty lines.
#include "logstore/Quorlet3Doc.h"
#include "logstore/ReadingRules.h"
#include "logstore/ReportText.h"

namespace quorlet3 {
namespace {

struct CheckText {
    std::string text;
    int errors = 0;
};

// Guest numbers must rise by exactly 1 from one guest-number line to the next.
void CheckGuestNumbers(const LineStore& store, CheckText& check) {
    check.text += "********** 訪問者Ｎｏ **********\r\n";
    int previous = 0;
    Walk(store, [&](int i, const std::string& line) {
        if (!HasMarker(line, kMarker1)) {
            return;
        }
        const int n = GuestNumberValue(line);
        if (previous != 0 && n != previous + 1) {
            AppendFormat(check.text, "%d行目　%d番～%d番\r\n", i + 1, previous, n);
            ++check.errors;
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
void CheckPageRecords(const LineStore& store, CheckText& check) {
    check.text += "********** ⑥と⑦の不連続 **********\r\n";
    ForEachLinePair(store, [&](int i, const std::string& line, const std::string& next) {
        if (HasMarker(line, kMarker6) && !HasMarker(next, kMarker7)) {
            AppendFormat(check.text, "%d行目　⑥と⑦の不連続\r\n", i + 1);
            ++check.errors;
        }
        if (HasMarker(next, kMarker7) && !HasMarker(line, kMarker6)) {
            AppendFormat(check.text, "%d行目　⑥と⑦の不連続\r\n", i + 2);
            ++check.errors;
        }
    });
}

// Each of lines one to four of a main-page record must be followed by the next one.
void CheckMainPageRecords(const LineStore& store, CheckText& check) {
    check.text += "********** ①～⑤の不連続 **********\r\n";
    struct Step {
        std::string_view marker;
        std::string_view next;
        const char* message;
    };
    static const Step kSteps[] = {
        {kMarker1, kMarker2, "%d行目 ①と②の不連続\r\n"},
        {kMarker2, kMarker3, "%d行目 ②と③の不連続\r\n"},
        {kMarker3, kMarker4, "%d行目 ③と④の不連続\r\n"},
        {kMarker4, kMarker5, "%d行目 ④と⑤の不連続\r\n"},
    };
    // Runs up to slot 9998 like the page-record pass, so a record broken in the last
    // lines of a full store is reported too.
    ForEachLinePair(store, [&](int i, const std::string& line, const std::string& next) {
        for (const Step& step : kSteps) {
            if (HasMarker(line, step.marker) && !HasMarker(next, step.next)) {
                AppendFormat(check.text, step.message, i + 1);
                ++check.errors;
            }
        }
    });
}

// Lists the empty lines before the sentinel, or calls the store blank when it holds none.
void CheckEmptyLines(const LineStore& store, CheckText& check) {
    check.text += "********** 空欄 **********\r\n";
    int sentinel = -1;
    for (int slot = 0; slot < kStoreSlots; ++slot) {
        if (IsSentinel(store[slot])) {
            sentinel = slot;
            break;
        }
    }
    if (sentinel < 0) {
        check.text += "このファイルは空白です。(データがありません。)\r\n";
        ++check.errors;
        return;
    }
    for (int j = 0; j < sentinel; ++j) {
        if (store[j].empty()) {
            AppendFormat(check.text, "%d行目 空欄\r\n", j + 1);
            ++check.errors;
        }
    }
}

}  // namespace

std::string CQuorlet3Doc::ReportFileCheck() const {
    CheckText check;
    check.text = "ファイル検査\r\n\r\n";
    CheckGuestNumbers(Store(), check);
    CheckPageRecords(Store(), check);
    CheckMainPageRecords(Store(), check);
    CheckEmptyLines(Store(), check);
    if (check.errors == 0) {
        check.text += "\r\nエラーはありませんでした。\r\n";
    } else {
        AppendFormat(check.text, "\r\nエラーは、%d　個ありました。\r\n", check.errors);
    }
    return check.text;
}

}  // namespace quorlet3
