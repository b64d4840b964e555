// The log harness's output checks: every format of one report, and the outputs of every
// report at once, well-formed whatever the log holds.
#include <algorithm>
#include <nlohmann/json.hpp>

#include "encoding/Cp932.h"
#include "fuzz/LogChecks.h"
#include "logstore/ReadingRules.h"
#include "output/CsvOutput.h"
#include "output/HtmlOutput.h"
#include "output/JsonOutput.h"

namespace quorlet3::fuzz {
namespace {

// ---- Output formats ----------------------------------------------------------------

// The number of fields of each record, reading the CSV text as RFC 4180 does: fields
// separated by commas, quoted fields with doubled quotes, every record ended by CR LF.
// Nothing when the text is not well-formed.
std::optional<std::vector<size_t>> CsvFieldCounts(std::string_view csv) {
    std::vector<size_t> records;
    size_t fields = 0;
    size_t i = 0;
    while (i < csv.size()) {
        if (csv[i] == '"') {
            for (++i;; ++i) {
                if (i >= csv.size()) {
                    return std::nullopt;
                }
                if (csv[i] == '"') {
                    if (i + 1 < csv.size() && csv[i + 1] == '"') {
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
            }
        } else {
            while (i < csv.size() && csv[i] != ',' && csv[i] != '\r' && csv[i] != '\n') {
                if (csv[i] == '"') {
                    return std::nullopt;
                }
                ++i;
            }
        }
        ++fields;
        if (i < csv.size() && csv[i] == ',') {
            ++i;
            continue;
        }
        if (csv.substr(i, 2) != "\r\n") {
            return std::nullopt;
        }
        i += 2;
        records.push_back(fields);
        fields = 0;
    }
    return records;
}

}  // namespace

Broken CheckText(const CommandRow&, const ReportResult& result) {
    // A lone CR from the log stays, so a CR LF may remain; what is written must be UTF-8.
    const std::string raw = FormatText(result);
    if (!IsUtf8(CrLfToLf(DecodeCp932ToUtf8(raw)))) {
        return "text: the UTF-8 form is not UTF-8";
    }
    return {};
}

// JSON is validated by nlohmann-json's parser without building the document.
Broken CheckJson(const CommandRow& row, const ReportResult& result) {
    const std::string json = FormatJson(row, result);
    if (!nlohmann::json::accept(json)) {
        return "json: " + std::string(row.cliName) + " does not parse";
    }
    if (!json.starts_with("{\"report\":\"" + std::string(row.cliName) + "\"")) {
        return "json: not an object named " + std::string(row.cliName);
    }
    return {};
}

Broken CheckCsv(const CommandRow& row, const ReportResult& result) {
    const std::string csv = FormatCsv(row, result);
    if (!IsUtf8(csv)) {
        return "csv: " + std::string(row.cliName) + " is not UTF-8";
    }
    const auto records = CsvFieldCounts(csv);
    if (!records || records->empty()) {
        return "csv: " + std::string(row.cliName) + " is not well-formed";
    }
    for (const size_t fields : *records) {
        if (fields != records->front()) {
            return "csv: " + std::string(row.cliName) + " has a row with another number of fields than its header";
        }
    }
    return {};
}

Broken CheckJsonAll(const std::vector<RowResult>& reports, int lines) {
    const std::string json = FormatJsonAll("/logs/アクセス.log", lines, reports);
    if (!nlohmann::json::accept(json)) {
        return "json all: does not parse";
    }
    // One object per report, each named.
    size_t named = 0;
    for (size_t at = json.find("{\"report\":\""); at != std::string::npos; at = json.find("{\"report\":\"", at + 1)) {
        ++named;
    }
    if (named != reports.size()) {
        return "json all: " + std::to_string(named) + " report objects for " + std::to_string(reports.size()) +
               " reports";
    }
    return {};
}

namespace {

// HTML as the writer makes it: every element closed in order (void elements and
// "/>" aside), the style sheet's text skipped, no script, and no '<' or '&' that does
// not begin a tag, a comment, the doctype or a character reference. Text from the log
// that was not escaped breaks one of these.
Broken CheckHtmlStructure(std::string_view html) {
    static constexpr std::string_view kVoid = " area base br col embed hr img input link meta param source track wbr ";
    auto isNameChar = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
    };
    std::vector<std::string_view> open;
    std::string spaced;
    size_t i = 0;
    while (i < html.size()) {
        size_t lt = i;
        while (lt < html.size() && html[lt] != '<' && html[lt] != '&') {
            ++lt;
        }
        if (lt == html.size()) {
            break;
        }
        if (html[lt] == '&') {
            const size_t semicolon = html.find(';', lt);
            const std::string_view name =
                html.substr(lt + 1, semicolon == std::string_view::npos ? 0 : semicolon - lt - 1);
            if (name.empty() || name.size() > 8 ||
                !std::all_of(name.begin(), name.end(), [&](char ch) { return ch == '#' || isNameChar(ch); })) {
                return "html: a bare '&' at byte " + std::to_string(lt);
            }
            i = semicolon + 1;
            continue;
        }
        if (html.substr(lt, 4) == "<!--") {
            const size_t end = html.find("-->", lt);
            if (end == std::string_view::npos) {
                return "html: an unclosed comment";
            }
            i = end + 3;
            continue;
        }
        const size_t gt = html.find('>', lt);
        if (gt == std::string_view::npos) {
            return "html: an unclosed tag at byte " + std::to_string(lt);
        }
        const std::string_view tag = html.substr(lt + 1, gt - lt - 1);
        i = gt + 1;
        if (tag.starts_with("!DOCTYPE") || tag.starts_with("!doctype")) {
            continue;
        }
        const bool closing = tag.starts_with('/');
        const std::string_view rest = closing ? tag.substr(1) : tag;
        size_t nameEnd = 0;
        while (nameEnd < rest.size() && isNameChar(rest[nameEnd])) {
            ++nameEnd;
        }
        const std::string_view name = rest.substr(0, nameEnd);
        if (name.empty() ||
            (nameEnd < rest.size() && rest[nameEnd] != ' ' && rest[nameEnd] != '\n' && rest[nameEnd] != '/')) {
            return "html: a '<' that begins no tag at byte " + std::to_string(lt);
        }
        if (name == "script") {
            return "html: a script element";
        }
        if (closing) {
            if (open.empty() || open.back() != name) {
                return "html: </" + std::string(name) + "> closes " +
                       (open.empty() ? std::string("nothing") : "<" + std::string(open.back()) + ">");
            }
            open.pop_back();
        } else if (!tag.ends_with('/') &&
                   kVoid.find(spaced.assign(" ").append(name).append(" ")) == std::string_view::npos) {
            open.push_back(name);
            if (name == "style") {
                i = html.find("</style>", i);
                if (i == std::string_view::npos) {
                    return "html: an unclosed style sheet";
                }
            }
        }
    }
    if (!open.empty()) {
        return "html: <" + std::string(open.back()) + "> is never closed";
    }
    return {};
}

}  // namespace

Broken CheckHtml(const std::vector<RowResult>& reports, int lines) {
    const std::string html = FormatHtmlReport("/logs/<アクセス>&.log", lines, reports);
    if (!IsUtf8(html)) {
        return "html: not UTF-8";
    }
    return CheckHtmlStructure(html);
}

}  // namespace quorlet3::fuzz
