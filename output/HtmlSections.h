// The HTML page's parts: the places on the page that sections are written into, and
// the section writers that fill them from the typed results.
#pragma once

#include <map>
#include <vector>

#include "output/HtmlText.h"
#include "reports/CommandTable.h"

namespace quorlet3 {

// The sections of the page, in page order.
enum class Place {
    MainTime,
    Browsers,
    Links,
    Hosts,
    Keywords,
    Phrases,
    Guests,
    Pages,
    PageTime,
    MainCalendar,
    PageCalendar,
    Contents,
    PageDays,
};
inline constexpr size_t kPlaceCount = static_cast<size_t>(Place::PageDays) + 1;
// The parts of the header's summary that reports supply, in page order.
enum class Fact { Period, Accesses, CheckErrors, CheckFindings };

// The page while the sections are written: each place's parts, ordered by a key.
class PageParts {
public:
    // The part of a place at a key, empty when new.
    HtmlText& Part(Place place, int key) { return m_sections[place][key]; }
    bool Has(Place place, int key) const {
        const auto section = m_sections.find(place);
        return section != m_sections.end() && section->second.contains(key);
    }
    HtmlText& Header(Fact fact) { return m_facts[fact]; }
    const HtmlText* FactText(Fact fact) const {
        const auto found = m_facts.find(fact);
        return found == m_facts.end() ? nullptr : &found->second;
    }
    const std::map<Place, std::map<int, HtmlText>>& Sections() const { return m_sections; }

private:
    std::map<Place, std::map<int, HtmlText>> m_sections;
    std::map<Fact, HtmlText> m_facts;
};

// Writes every result's section into its places: one writer per result type, chosen by
// a visitor over the result variant, so a result type without one does not compile.
void WriteSections(PageParts& parts, const std::vector<RowResult>& reports);

}  // namespace quorlet3
