// The reports as JSON, written from their typed results.
#include "output/JsonOutput.h"

#include "logstore/LineStore.h"
#include "output/JsonWriter.h"
#include "share/ShareClasses.h"

namespace quorlet3 {
namespace {

// The argument word of a row, or the one its result stands for when the row has none.
std::string_view ArgumentWord(const CommandRow& row, std::string_view fallback) {
    return row.cliArgument != nullptr ? std::string_view(row.cliArgument) : fallback;
}

template <class Count>
void IntArray(JsonWriter& json, const Count* counts, size_t n) {
    json.BeginArray();
    for (size_t i = 0; i < n; ++i) {
        json.Int(counts[i]);
    }
    json.EndArray();
}

// The check's members after "report".
void CheckMembers(JsonWriter& json, const FileCheckSource& check) {
    json.Member("errors", check.Errors());
    json.Key("guest_number_gaps");
    json.BeginArray();
    check.ForEachGuestNumberGap([&](const GuestNumberGap& gap) {
        json.BeginObject();
        json.Member("line", gap.line);
        json.Member("previous", gap.previous);
        json.Member("number", gap.number);
        json.EndObject();
    });
    json.EndArray();
    json.Key("page_record_breaks");
    json.BeginArray();
    check.ForEachPageRecordBreak([&](long long line) { json.Int(line); });
    json.EndArray();
    json.Key("main_record_breaks");
    json.BeginArray();
    check.ForEachMainRecordBreak([&](const MainRecordBreak& broken) {
        json.BeginObject();
        json.Member("line", broken.line);
        json.MemberCp932("marker", MarkerOf(broken.marker));
        json.EndObject();
    });
    json.EndArray();
    json.Key("blank");
    json.Bool(check.Blank());
    json.Key("empty_lines");
    json.BeginArray();
    check.ForEachEmptyLine([&](long long line) { json.Int(line); });
    json.EndArray();
}

// Writes the members after "report" for each result type.
struct JsonMembers {
    JsonWriter& json;
    const CommandRow& row;

    void operator()(const FileCheckResult& r) const { CheckMembers(json, FileCheckResultSource(r)); }

    void operator()(const ContentsResult& r) const {
        json.Member("lines", r.lines);
        json.Key("rows");
        json.BeginArray();
        for (const std::string& listed : r.rows) {
            json.Cp932(listed);
        }
        json.EndArray();
    }

    void ValueRows(const std::vector<ValueCount>& rows, std::string_view valueKey) const {
        json.Key("rows");
        json.BeginArray();
        for (const ValueCount& v : rows) {
            json.BeginObject();
            json.MemberCp932(valueKey, v.value);
            json.Member("count", v.count);
            json.EndObject();
        }
        json.EndArray();
    }

    void operator()(const ValueTallyResult& r) const {
        json.Member("total", r.total);
        json.Member("nameless", r.nameless);
        ValueRows(r.rows, "value");
    }

    void operator()(const HostsResult& r) const {
        json.Member("total", r.total);
        json.Member("nameless", r.nameless);
        json.Key("classes");
        json.BeginObject();
        for (size_t k = 0; k < r.classes.size(); ++k) {
            json.Key(kDomainClassNames[k]);
            json.BeginArray();
            for (const ValueCount& host : r.classes[k]) {
                json.BeginObject();
                json.MemberCp932("host", host.value);
                json.Member("count", host.count);
                json.EndObject();
            }
            json.EndArray();
        }
        json.EndObject();
    }

    void operator()(const KeywordsResult& r) const {
        json.Key("queries");
        json.BeginArray();
        for (size_t i = 0; i < r.distinct.size(); ++i) {
            json.BeginObject();
            json.MemberCp932("query", r.distinct[i]);
            json.Member("count", r.counts[i]);
            json.EndObject();
        }
        json.EndArray();
    }

    void operator()(const PagesResult& r) const {
        json.MemberUtf8("order", ArgumentWord(row, r.order == PageOrder::Ranking ? "ranking" : "name"));
        json.Member("total", r.total);
        ValueRows(r.rows, "page");
    }

    void operator()(const TimeCountsResult& r) const {
        json.MemberUtf8("records", ArgumentWord(row, r.records == RecordKind::Page ? "page" : "main"));
        json.Member("total", r.total);
        json.Key("counts");
        if (r.grid != TimeGrid::DayHour || r.counts.empty()) {
            IntArray(json, r.counts.data(), r.counts.size());
            return;
        }
        json.BeginArray();
        for (size_t day = 0; day < static_cast<size_t>(kDays); ++day) {
            IntArray(json, r.counts.data() + day * kHours, static_cast<size_t>(kHours));
        }
        json.EndArray();
    }

    void operator()(const GuestNumbersResult& r) const {
        json.Key("found");
        json.Bool(r.found);
        if (!r.found) {
            return;
        }
        json.Key("first");
        json.BeginObject();
        json.Member("number", r.firstNumber);
        json.MemberCp932("time", r.firstTime);
        json.EndObject();
        json.Key("last");
        json.BeginObject();
        json.Member("number", r.lastNumber);
        json.MemberCp932("time", r.lastTime);
        json.EndObject();
        json.Member("main_guests", r.MainGuests());
        json.Member("page_guests", r.pageGuests);
    }

    void operator()(const ShareResult& r) const {
        json.Member("total", r.lines);
        json.Key("counts");
        json.BeginObject();
        for (const ShareClass& c : kShareClasses) {
            json.Member(c.key, r.counters[static_cast<size_t>(c.counter)]);
        }
        json.EndObject();
        json.Key("percent");
        json.BeginObject();
        const long long total = r.counters[kShareTotal];
        if (total != 0) {
            for (const ShareClass& c : kShareClasses) {
                json.Member(c.key, SharePercent(r.counters[static_cast<size_t>(c.counter)], total));
            }
            const ShareFamilies families = ShareFamilyPercents(r.counters);
            json.Member("MSIE,NN3.0+", families.msieNn30Up);
            json.Member("MSIE3.0+", families.msie30Up);
            json.Member("Netscape", families.netscape);
        }
        json.EndObject();
    }

    void operator()(const PageNamesResult& r) const {
        json.Key("pages");
        json.BeginArray();
        for (const std::string& name : r.names) {
            if (name.empty()) {
                break;
            }
            json.Cp932(name);
        }
        json.EndArray();
    }

    // The calendar reports share their head: which records, the dated lines, the undated.
    template <class Calendar>
    void CalendarHead(const Calendar& r) const {
        json.MemberUtf8("records", ArgumentWord(row, r.records == RecordKind::Page ? "page" : "main"));
        json.Member("total", r.total);
        json.Member("undated", r.undated);
    }

    void operator()(const CalendarDatesResult& r) const {
        CalendarHead(r);
        json.Key("days");
        json.BeginArray();
        for (const DateCount& day : r.days) {
            json.BeginObject();
            json.MemberUtf8("date", IsoDate(day.date));
            json.Member("count", day.count);
            json.EndObject();
        }
        json.EndArray();
    }

    void operator()(const CalendarMonthsResult& r) const {
        CalendarHead(r);
        json.Key("months");
        json.BeginArray();
        for (const MonthCount& month : r.months) {
            json.BeginObject();
            json.MemberUtf8("month", IsoMonth(month.year, month.month));
            json.Member("count", month.count);
            json.EndObject();
        }
        json.EndArray();
    }

    void operator()(const WeekdaysResult& r) const {
        CalendarHead(r);
        json.Key("counts");
        IntArray(json, r.counts.data(), r.counts.size());
    }

    void operator()(const WeekHoursResult& r) const {
        CalendarHead(r);
        json.Key("counts");
        json.BeginArray();
        for (const auto& hours : r.counts) {
            IntArray(json, hours.data(), hours.size());
        }
        json.EndArray();
    }

    void operator()(const PhrasesResult& r) const {
        json.Member("total", r.total);
        json.Key("rows");
        json.BeginArray();
        for (const PhraseRow& phrase : r.rows) {
            json.BeginObject();
            json.MemberUtf8("phrase", phrase.phrase);
            json.Member("count", phrase.count);
            json.Key("hosts");
            json.BeginArray();
            for (const std::string& host : phrase.hosts) {
                json.Cp932(host);
            }
            json.EndArray();
            json.EndObject();
        }
        json.EndArray();
    }

    void operator()(const PageDaysResult& r) const {
        json.MemberCp932("page", r.page);
        json.Member("total", r.total);
        json.Key("counts");
        IntArray(json, r.days.data(), r.days.size());
    }
};

void WriteReport(JsonWriter& json, const CommandRow& row, const ReportResult& result) {
    json.BeginObject();
    json.MemberUtf8("report", row.cliName != nullptr ? row.cliName : "");
    std::visit(JsonMembers{json, row}, result);
    json.EndObject();
}

// Builds one JSON value with body and hands it to write in pieces as it grows, so that
// a large value is never held whole.
void WriteInPieces(const std::function<void(std::string_view)>& write, const std::function<void(JsonWriter&)>& body) {
    std::string out;
    JsonWriter json(out, [&](std::string& piece) {
        write(piece);
        piece.clear();
    });
    body(json);
    write(out);
}

}  // namespace

std::string FormatJson(const CommandRow& row, const ReportResult& result) {
    std::string out;
    JsonWriter json(out);
    WriteReport(json, row, result);
    return out;
}

std::string FormatJsonAll(std::string_view logPath, long long lines, const std::vector<RowResult>& reports) {
    std::string out;
    WriteJsonAll(logPath, lines, reports, [&out](std::string_view piece) { out += piece; });
    return out;
}

void WriteJsonAll(std::string_view logPath, long long lines, const std::vector<RowResult>& reports,
                  const std::function<void(std::string_view)>& write) {
    WriteInPieces(write, [&](JsonWriter& json) {
        json.BeginObject();
        json.MemberUtf8("log", PathToUtf8(logPath));
        json.Member("lines", lines);
        json.Key("reports");
        json.BeginArray();
        for (const RowResult& report : reports) {
            WriteReport(json, *report.row, report.result);
        }
        json.EndArray();
        json.EndObject();
    });
}

void WriteJsonFileCheck(const CommandRow& row, const FileCheckSource& check,
                        const std::function<void(std::string_view)>& write) {
    WriteInPieces(write, [&](JsonWriter& json) {
        json.BeginObject();
        json.MemberUtf8("report", row.cliName != nullptr ? row.cliName : "");
        CheckMembers(json, check);
        json.EndObject();
    });
}

std::string FormatJsonCp932String(std::string_view cp932) { return JsonWriter::Cp932String(cp932); }

}  // namespace quorlet3
