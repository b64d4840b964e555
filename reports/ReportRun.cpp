// Running reports for the command-line tool's data formats.
#include "reports/ReportRun.h"

#include <algorithm>
#include <unordered_set>

#include "encoding/Cp932.h"
#include "encoding/MultibyteOrder.h"
#include "logstore/ReadingRules.h"

namespace quorlet3 {

std::optional<std::string> PageByText::Page() const {
    if (readingSo.size() == 1) {
        return readingSo.front();
    }
    return readingSo.empty() ? encoded : std::nullopt;
}

namespace {

PageByText Matches(std::vector<std::string> readingSo, std::string_view page) {
    std::sort(readingSo.begin(), readingSo.end(), MultibyteLess);
    return {std::move(readingSo), EncodeUtf8ToCp932(page)};
}

// "$'\x83\x79'": bytes as a shell takes them.
std::string ShellBytes(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string quoted = "$'";
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7f && c != '\\' && c != '\'') {
            quoted += c;
        } else {
            quoted += "\\x";
            quoted += kHex[b >> 4];
            quoted += kHex[b & 15];
        }
    }
    return quoted + "'";
}

}  // namespace

PageByText ResolvePageName(const LineStore& store, std::string_view page) {
    std::vector<std::string> readingSo;
    std::unordered_set<std::string_view> tried;  // a page is viewed many times; decode each name once
    Walk(store, [&](int, const std::string& line) {
        if (!HasMarker(line, kMarker6)) {
            return;
        }
        const std::string_view name = Content(line);
        if (!name.empty() && tried.insert(name).second && DecodeCp932ToUtf8(name) == page) {
            readingSo.emplace_back(name);
        }
    });
    return Matches(std::move(readingSo), page);
}

std::string AmbiguousPageMessage(std::string_view page, const std::vector<std::string>& readingSo) {
    std::string message = "PAGE '" + std::string(page) + "' reads as " + std::to_string(readingSo.size()) +
                          " pages of the log; give the bytes of one with --raw:";
    for (const std::string& name : readingSo) {
        message += "\n  " + ShellBytes(name);
    }
    return message;
}

void PageDaysByTextAccumulator::Step(std::span<const Slot> batch) {
    for (const Slot& s : batch) {
        if (!HasMarker(s.line, kMarker6) || s.line.size() == kMarker6.size()) {
            continue;
        }
        const std::string_view name = Content(s.line);
        auto seen = m_readsSo.find(std::string(name));
        if (seen == m_readsSo.end()) {
            seen = m_readsSo.emplace(std::string(name), DecodeCp932ToUtf8(name) == m_page).first;
        }
        if (!seen->second) {
            continue;
        }
        CountPageDay(m_days[seen->first], s.next);
    }
}

void PageDaysByTextAccumulator::Merge(PageDaysByTextAccumulator& later) {
    for (const auto& [name, counts] : later.m_days) {
        AddPageDays(m_days[name], counts);
    }
}

PageByText PageDaysByTextAccumulator::Pages() const {
    std::vector<std::string> readingSo;
    readingSo.reserve(m_days.size());
    for (const auto& [name, counts] : m_days) {
        readingSo.push_back(name);
    }
    return Matches(std::move(readingSo), m_page);
}

std::optional<PageDaysResult> PageDaysByTextAccumulator::Finish(const WalkEnd&) {
    const std::optional<std::string> page = Pages().Page();
    if (!page) {
        return std::nullopt;
    }
    const auto counted = m_days.find(*page);
    PageDaysResult result = counted == m_days.end() ? PageDaysResult{} : counted->second;
    result.page = *page;
    result.wholeLog = true;
    return result;
}

void PageDaysByTextAccumulator::Take(const std::string& name, const PageDaysResult& days) {
    if (!name.empty() && DecodeCp932ToUtf8(name) == m_page) {
        m_readsSo[name] = true;
        AddPageDays(m_days[name], days);
    }
}

void EveryPageDaysAccumulator::Step(std::span<const Slot> batch) {
    for (const Slot& s : batch) {
        if (!HasMarker(s.line, kMarker6)) {
            continue;
        }
        const std::string_view name = Content(s.line);
        auto counted = m_days.find(name);
        if (counted == m_days.end()) {
            counted = m_days.emplace(std::string(name), PageDaysResult{}).first;
        }
        CountPageDay(counted->second, s.next);
    }
}

void EveryPageDaysAccumulator::Merge(EveryPageDaysAccumulator& later) {
    for (const auto& [name, counts] : later.m_days) {
        AddPageDays(m_days[name], counts);
    }
}

PageDaysResult EveryPageDaysAccumulator::Raw(std::string_view page) const {
    const auto counted = m_days.find(page);
    PageDaysResult result = counted == m_days.end() ? PageDaysResult{} : counted->second;
    result.page = std::string(page);
    result.wholeLog = true;
    return result;
}

PageDaysByTextAccumulator EveryPageDaysAccumulator::Text(std::string_view page) const {
    PageDaysByTextAccumulator text(page);
    for (const auto& [name, counts] : m_days) {
        text.Take(name, counts);
    }
    return text;
}

std::string LogTextToUtf8(std::string_view cp932) { return DecodeCp932ToUtf8(cp932); }

bool IsUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t extra = 0;
        unsigned char min2 = 0x80;
        unsigned char max2 = 0xBF;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            min2 = c == 0xE0 ? 0xA0 : 0x80;
            max2 = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            min2 = c == 0xF0 ? 0x90 : 0x80;
            max2 = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + extra >= text.size()) {
            return false;
        }
        for (size_t k = 1; k <= extra; ++k) {
            const auto t = static_cast<unsigned char>(text[i + k]);
            if (k == 1 ? (t < min2 || t > max2) : (t < 0x80 || t > 0xBF)) {
                return false;
            }
        }
        i += extra + 1;
    }
    return true;
}

std::string PathToUtf8(std::string_view path) { return IsUtf8(path) ? std::string(path) : DecodeCp932ToUtf8(path); }

}  // namespace quorlet3
