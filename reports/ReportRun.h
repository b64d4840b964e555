// Running reports for the command-line tool's data formats: one row or every row at once.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "logstore/Accumulator.h"
#include "logstore/LineStore.h"
#include "pagedays/PageDays.h"
#include "reports/CommandTable.h"

namespace quorlet3 {

// What a page name typed as UTF-8 stands for. Several characters have more than one
// cp932 code and the log may use any of them, and bytes that are no cp932 character all
// read as U+FFFD, so several pages of a log can read the same.
struct PageByText {
    std::vector<std::string> readingSo;  // the log's page names that read as the text, in page-list order
    std::optional<std::string> encoded;  // the text encoded to cp932, when it can be

    // The page meant: the one page that reads so, else the text encoded. Nothing when
    // several pages read so, or none does and the text is no cp932.
    std::optional<std::string> Page() const;
};
PageByText ResolvePageName(const LineStore& store, std::string_view page);

// The usage error for a page name that reads as several pages: each page, as text and
// as the bytes to give with --raw.
std::string AmbiguousPageMessage(std::string_view page, const std::vector<std::string>& readingSo);

// The per-page report over a whole log for a page name typed as UTF-8, read in one pass:
// counts the days of every page whose name reads as page, and finishes with the one page
// that does, as ResolvePageName picks it.
class PageDaysByTextAccumulator {
public:
    std::string_view Marker() const { return kMarker6; }
    explicit PageDaysByTextAccumulator(std::string_view page) : m_page(page) {}
    void Step(std::span<const Slot> batch);
    void Merge(PageDaysByTextAccumulator& later);
    PageDaysByTextAccumulator Fresh() const { return PageDaysByTextAccumulator(m_page); }
    template <class Ar>
    void Keep(Ar& ar) {
        ar(m_readsSo, m_days);
    }
    // The pages that read as the text, in page-list order, and the one meant (see PageByText).
    PageByText Pages() const;
    // Nothing when PageByText::Page() is nothing.
    std::optional<PageDaysResult> Finish(const WalkEnd& end);
    // Takes in the counted days of a page, when its name reads as the text, as if read here.
    void Take(const std::string& name, const PageDaysResult& days);

private:
    std::string m_page;                                      // as typed, UTF-8
    std::unordered_map<std::string, bool> m_readsSo;         // page names seen: does the name read as m_page
    std::unordered_map<std::string, PageDaysResult> m_days;  // counts of the names that do
};

// The days of every page of a whole log, so that a kept state holds what the per-page
// report of any page needs: of a page named by its bytes, as PageDaysAccumulator counts
// them, or typed as UTF-8, as PageDaysByTextAccumulator does.
class EveryPageDaysAccumulator {
public:
    std::string_view Marker() const { return kMarker6; }
    void Step(std::span<const Slot> batch);
    void Merge(EveryPageDaysAccumulator& later);
    EveryPageDaysAccumulator Fresh() const { return {}; }
    template <class Ar>
    void Keep(Ar& ar) {
        ar(m_days);
    }
    // The report of the page whose name is these bytes.
    PageDaysResult Raw(std::string_view page) const;
    // The pages whose names read as the UTF-8 text, to finish as PageDaysByTextAccumulator does.
    PageDaysByTextAccumulator Text(std::string_view page) const;

private:
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const noexcept { return std::hash<std::string_view>()(name); }
    };
    std::unordered_map<std::string, PageDaysResult, NameHash, std::equal_to<>> m_days;  // by name, "" included
};

// The text taken from the log or the command line, as UTF-8: cp932 decoded, each
// byte that is no cp932 character shown as U+FFFD.
std::string LogTextToUtf8(std::string_view cp932);

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsUtf8(std::string_view text);

// A path as UTF-8: kept when it is UTF-8 already, otherwise decoded as cp932.
std::string PathToUtf8(std::string_view path);

}  // namespace quorlet3
