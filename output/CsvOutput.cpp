// The reports as CSV tables, written from their typed results.
//
// The tables, by header:
//   check        kind,line,detail   in the text's order: guest_number_gap (detail
//                "previous-number"), page_record_break, main_record_break (detail
//                "①と②": the marker of the line and the one missing after it),
//                blank (no line number), empty_line
//   contents     row
//   links, browsers  value,count
//   hosts        class,host         every listed host, repeats included
//   keywords     query
//   pages        page,count         in the order asked for
//   hourly       hour,count         daily day,count; detail day,hour,count
//   guests       which,number,time  rows first and last, then main_guests and
//                                   page_guests with their count as number; no rows
//                                   when no guest number was found
//   share        class,count,percent  the seven classes, then the three families
//                                   with an empty count; percent empty when no
//                                   browser line was counted
//   page-names   page
//   page-days    day,count
//   dates        date,count         every date from the earliest to the latest (YYYY-MM-DD)
//   months       month,count        every month from the earliest to the latest (YYYY-MM)
//   weekdays     weekday,count      sun to sat; weekhours weekday,hour,count
//   phrases      phrase,count,hosts the search hosts separated by spaces
#include "output/CsvOutput.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>

#include "logstore/LineStore.h"
#include "reports/ReportRun.h"
#include "share/ShareClasses.h"

namespace quorlet3 {
namespace {

// A long table goes out in pieces of about this size.
constexpr size_t kCsvPiece = size_t{1} << 16;

class CsvWriter {
public:
    explicit CsvWriter(std::string& out) : m_out(out) {}

    // A header row of plain names.
    void Header(std::string_view names) {
        m_out += names;
        m_out += "\r\n";
    }
    void Field(std::string_view utf8) {
        Separate();
        if (utf8.find_first_of(",\"\r\n") == std::string_view::npos) {
            m_out += utf8;
            return;
        }
        m_out += '"';
        size_t run = 0;
        for (size_t quote = utf8.find('"'); quote != std::string_view::npos; quote = utf8.find('"', quote + 1)) {
            m_out.append(utf8.data() + run, quote + 1 - run);
            m_out += '"';
            run = quote + 1;
        }
        m_out.append(utf8.data() + run, utf8.size() - run);
        m_out += '"';
    }
    // Text from the log: ASCII is the same in UTF-8, anything else goes through the decoder.
    void Cp932(std::string_view text) {
        const bool ascii =
            std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (ascii) {
            Field(text);
        } else {
            Field(LogTextToUtf8(text));
        }
    }
    void Int(long long value) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        Plain(std::string_view(digits, static_cast<size_t>(end - digits)));
    }
    // A field that never needs quotes (a name of ours, digits): written without a search.
    void Plain(std::string_view text) {
        Separate();
        m_out += text;
    }
    void Empty() { Separate(); }
    void EndRow() {
        m_out += "\r\n";
        m_first = true;
    }

private:
    void Separate() {
        if (!m_first) {
            m_out += ',';
        }
        m_first = false;
    }

    std::string& m_out;
    bool m_first = true;
};

// The check's rows in the text's order; rowDone is called after each finding's row.
void CheckRows(CsvWriter& csv, const FileCheckSource& check, const std::function<void()>& rowDone) {
    csv.Header("kind,line,detail");
    check.ForEachGuestNumberGap([&](const GuestNumberGap& gap) {
        csv.Plain("guest_number_gap");
        csv.Int(gap.line);
        csv.Field(std::to_string(gap.previous) + "-" + std::to_string(gap.number));
        csv.EndRow();
        rowDone();
    });
    check.ForEachPageRecordBreak([&](long long line) {
        csv.Plain("page_record_break");
        csv.Int(line);
        csv.Empty();
        csv.EndRow();
        rowDone();
    });
    check.ForEachMainRecordBreak([&](const MainRecordBreak& broken) {
        csv.Plain("main_record_break");
        csv.Int(broken.line);
        csv.Field(LogTextToUtf8(MarkerOf(broken.marker)) + "と" + LogTextToUtf8(MarkerOf(broken.marker + 1)));
        csv.EndRow();
        rowDone();
    });
    if (check.Blank()) {
        csv.Field("blank");
        csv.Empty();
        csv.Empty();
        csv.EndRow();
    }
    check.ForEachEmptyLine([&](long long line) {
        csv.Plain("empty_line");
        csv.Int(line);
        csv.Empty();
        csv.EndRow();
        rowDone();
    });
}

// Weekdays in the data formats, Sunday first.
constexpr std::string_view kWeekdayKeys[] = {"sun", "mon", "tue", "wed", "thu", "fri", "sat"};

struct CsvTable {
    CsvWriter& csv;

    void operator()(const FileCheckResult& r) const {
        CheckRows(csv, FileCheckResultSource(r), [] {});
    }

    void operator()(const ContentsResult& r) const {
        csv.Header("row");
        for (const std::string& listed : r.rows) {
            csv.Cp932(listed);
            csv.EndRow();
        }
    }

    void ValueRows(const std::vector<ValueCount>& rows) const {
        for (const ValueCount& v : rows) {
            csv.Cp932(v.value);
            csv.Int(v.count);
            csv.EndRow();
        }
    }

    void operator()(const ValueTallyResult& r) const {
        csv.Header("value,count");
        ValueRows(r.rows);
    }

    void operator()(const HostsResult& r) const {
        csv.Header("class,host,count");
        for (size_t k = 0; k < r.classes.size(); ++k) {
            for (const ValueCount& host : r.classes[k]) {
                csv.Field(kDomainClassNames[k]);
                csv.Cp932(host.value);
                csv.Int(host.count);
                csv.EndRow();
            }
        }
    }

    void operator()(const KeywordsResult& r) const {
        csv.Header("query,count");
        for (size_t i = 0; i < r.distinct.size(); ++i) {
            csv.Cp932(r.distinct[i]);
            csv.Int(r.counts[i]);
            csv.EndRow();
        }
    }

    void operator()(const PagesResult& r) const {
        csv.Header("page,count");
        ValueRows(r.rows);
    }

    void operator()(const TimeCountsResult& r) const {
        switch (r.grid) {
            case TimeGrid::Hourly:
                csv.Header("hour,count");
                break;
            case TimeGrid::Daily:
                csv.Header("day,count");
                break;
            case TimeGrid::DayHour:
                csv.Header("day,hour,count");
                break;
        }
        for (size_t cell = 0; cell < r.counts.size(); ++cell) {
            const int c = static_cast<int>(cell);
            if (r.grid == TimeGrid::Hourly) {
                csv.Int(c);
            } else if (r.grid == TimeGrid::Daily) {
                csv.Int(c + 1);
            } else {
                csv.Int(c / kHours + 1);
                csv.Int(c % kHours);
            }
            csv.Int(r.counts[cell]);
            csv.EndRow();
        }
    }

    void operator()(const GuestNumbersResult& r) const {
        csv.Header("which,number,time");
        if (!r.found) {
            return;
        }
        csv.Field("first");
        csv.Int(r.firstNumber);
        csv.Cp932(r.firstTime);
        csv.EndRow();
        csv.Field("last");
        csv.Int(r.lastNumber);
        csv.Cp932(r.lastTime);
        csv.EndRow();
        csv.Field("main_guests");
        csv.Int(r.MainGuests());
        csv.Empty();
        csv.EndRow();
        csv.Field("page_guests");
        csv.Int(r.pageGuests);
        csv.Empty();
        csv.EndRow();
    }

    void operator()(const ShareResult& r) const {
        csv.Header("class,count,percent");
        const long long total = r.counters[kShareTotal];
        for (const ShareClass& c : kShareClasses) {
            const long long count = r.counters[static_cast<size_t>(c.counter)];
            csv.Field(c.key);
            csv.Int(count);
            if (total != 0) {
                csv.Int(SharePercent(count, total));
            } else {
                csv.Empty();
            }
            csv.EndRow();
        }
        const ShareFamilies families = ShareFamilyPercents(r.counters);
        const std::pair<std::string_view, int> familyRows[] = {
            {"MSIE,NN3.0+", families.msieNn30Up}, {"MSIE3.0+", families.msie30Up}, {"Netscape", families.netscape}};
        for (const auto& [name, percent] : familyRows) {
            csv.Field(name);
            csv.Empty();
            if (total != 0) {
                csv.Int(percent);
            } else {
                csv.Empty();
            }
            csv.EndRow();
        }
    }

    void operator()(const PageNamesResult& r) const {
        csv.Header("page");
        for (const std::string& name : r.names) {
            if (name.empty()) {
                break;
            }
            csv.Cp932(name);
            csv.EndRow();
        }
    }

    void operator()(const CalendarDatesResult& r) const {
        csv.Header("date,count");
        for (const DateCount& day : r.days) {
            csv.Field(IsoDate(day.date));
            csv.Int(day.count);
            csv.EndRow();
        }
    }

    void operator()(const CalendarMonthsResult& r) const {
        csv.Header("month,count");
        for (const MonthCount& month : r.months) {
            csv.Field(IsoMonth(month.year, month.month));
            csv.Int(month.count);
            csv.EndRow();
        }
    }

    void operator()(const WeekdaysResult& r) const {
        csv.Header("weekday,count");
        for (size_t day = 0; day < r.counts.size(); ++day) {
            csv.Field(kWeekdayKeys[day]);
            csv.Int(r.counts[day]);
            csv.EndRow();
        }
    }

    void operator()(const WeekHoursResult& r) const {
        csv.Header("weekday,hour,count");
        for (size_t day = 0; day < r.counts.size(); ++day) {
            for (size_t hour = 0; hour < r.counts[day].size(); ++hour) {
                csv.Field(kWeekdayKeys[day]);
                csv.Int(static_cast<long long>(hour));
                csv.Int(r.counts[day][hour]);
                csv.EndRow();
            }
        }
    }

    void operator()(const PhrasesResult& r) const {
        csv.Header("phrase,count,hosts");
        for (const PhraseRow& phrase : r.rows) {
            csv.Field(phrase.phrase);
            csv.Int(phrase.count);
            std::string hosts;
            for (const std::string& host : phrase.hosts) {
                hosts += (hosts.empty() ? "" : " ") + LogTextToUtf8(host);
            }
            csv.Field(hosts);
            csv.EndRow();
        }
    }

    void operator()(const PageDaysResult& r) const {
        csv.Header("day,count");
        for (size_t d = 0; d < r.days.size(); ++d) {
            csv.Int(static_cast<int>(d) + 1);
            csv.Int(r.days[d]);
            csv.EndRow();
        }
    }
};

}  // namespace

std::string FormatCsv(const CommandRow&, const ReportResult& result) {
    std::string out;
    CsvWriter csv(out);
    std::visit(CsvTable{csv}, result);
    return out;
}

void WriteCsvFileCheck(const FileCheckSource& check, const std::function<void(std::string_view)>& write) {
    std::string out;
    CsvWriter csv(out);
    CheckRows(csv, check, [&] {
        if (out.size() >= kCsvPiece) {
            write(out);
            out.clear();
        }
    });
    write(out);
}

std::string FormatCsvContentsRow(std::string_view listed) {
    std::string out;
    CsvWriter csv(out);
    csv.Cp932(listed);
    csv.EndRow();
    return out;
}

}  // namespace quorlet3
