// Search phrases: the words that search pages sent guests here with, decoded and tallied.
#include "tally/Phrases.h"

#include <algorithm>
#include <array>

#include "encoding/Cp932.h"
#include "encoding/JapaneseText.h"
#include "encoding/MultibyteOrder.h"
#include "logstore/ReadingRules.h"
#include "logstore/ReportText.h"

namespace quorlet3 {
namespace {

// Which query parameter carries the words at a search site. A host matches a site when
// it is the site's domain or ends in "." and that domain; "google" matches any host
// with that label (google.co.jp, www.google.com, ...).
struct SearchSite {
    std::string_view domain;
    std::array<std::string_view, 2> words;  // tried in order; empty names unused
};

constexpr SearchSite kSearchSites[] = {
    {"google", {"q", "as_q"}},       {"yahoo.co.jp", {"p", "va"}},   {"yahoo.com", {"p", "va"}},
    {"goo.ne.jp", {"MT", "mt"}},     {"infoseek.co.jp", {"qt", ""}}, {"excite.co.jp", {"search", "q"}},
    {"excite.com", {"search", "q"}}, {"biglobe.ne.jp", {"q", ""}},   {"nifty.com", {"q", "Text"}},
    {"msn.co.jp", {"q", ""}},        {"msn.com", {"q", ""}},         {"bing.com", {"q", ""}},
    {"lycos.co.jp", {"query", "q"}}, {"fresheye.com", {"kw", ""}},   {"hotbot.com", {"MT", "query"}},
    {"altavista.com", {"q", ""}},    {"livedoor.com", {"q", ""}},    {"aol.jp", {"q", "query"}},
    {"rakuten.co.jp", {"qt", "q"}},  {"ask.jp", {"q", ""}},          {"ask.com", {"q", ""}},
    {"duckduckgo.com", {"q", ""}},   {"baidu.jp", {"wd", ""}},       {"baidu.com", {"wd", ""}},
};

// Tried after the site's own names, and for every other host.
constexpr std::array<std::string_view, 8> kCommonWordNames = {"q", "p", "qt", "MT", "search", "query", "kw", "word"};

// Parameters that name the charset the words were sent in (compared without case).
constexpr std::array<std::string_view, 7> kCharsetNames = {
    "ie", "ei", "enc", "encoding", "charset", "inputencoding", "input_encoding"};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

bool HostMatches(std::string_view host, std::string_view domain) {
    if (domain.find('.') == std::string_view::npos) {  // a label anywhere in the host
        for (size_t at = host.find(domain); at != std::string_view::npos; at = host.find(domain, at + 1)) {
            const size_t end = at + domain.size();
            if ((at == 0 || host[at - 1] == '.') && (end == host.size() || host[end] == '.')) {
                return true;
            }
        }
        return false;
    }
    return host == domain ||
           (host.size() > domain.size() && host.ends_with(domain) && host[host.size() - domain.size() - 1] == '.');
}

struct Parameter {
    std::string_view name;
    std::string_view value;  // still percent-encoded
};

// The name=value pairs of a query (without its "?"), up to a "#".
std::vector<Parameter> ParametersOf(std::string_view query) {
    query = query.substr(0, query.find('#'));
    std::vector<Parameter> parameters;
    while (!query.empty()) {
        const size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        const size_t eq = pair.find('=');
        if (eq != std::string_view::npos) {
            parameters.push_back({pair.substr(0, eq), pair.substr(eq + 1)});
        }
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
    }
    return parameters;
}

const Parameter* FindParameter(const std::vector<Parameter>& parameters, std::string_view name) {
    for (const Parameter& p : parameters) {
        if (p.name == name) {
            return &p;
        }
    }
    return nullptr;
}

// The parameter that carries the words for this host, or null.
const Parameter* WordsParameter(const std::vector<Parameter>& parameters, std::string_view host) {
    for (const SearchSite& site : kSearchSites) {
        if (!HostMatches(host, site.domain)) {
            continue;
        }
        for (std::string_view name : site.words) {
            if (const Parameter* p = name.empty() ? nullptr : FindParameter(parameters, name)) {
                return p;
            }
        }
        break;
    }
    for (std::string_view name : kCommonWordNames) {
        if (const Parameter* p = FindParameter(parameters, name)) {
            return p;
        }
    }
    return nullptr;
}

std::optional<JapaneseCharset> NamedCharset(const std::vector<Parameter>& parameters) {
    for (const Parameter& p : parameters) {
        for (std::string_view name : kCharsetNames) {
            if (EqualsIgnoringCase(p.name, name)) {
                if (std::optional<JapaneseCharset> charset = CharsetOfName(PercentDecode(p.value))) {
                    return charset;
                }
            }
        }
    }
    return std::nullopt;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Phrases first by count, then those with a cp932 form in its multibyte order, then the
// others by their UTF-8 bytes.
bool ComesBefore(const PhraseRow& a, const PhraseRow& b) {
    if (a.count != b.count) {
        return a.count > b.count;
    }
    if (a.cp932.has_value() != b.cp932.has_value()) {
        return a.cp932.has_value();
    }
    if (a.cp932) {
        return MultibyteLess(*a.cp932, *b.cp932);
    }
    return a.phrase < b.phrase;
}

}  // namespace

std::string HostOfAddress(std::string_view address) {
    const size_t scheme = address.find("://");
    if (scheme == std::string_view::npos) {
        return {};
    }
    std::string_view rest = address.substr(scheme + 3);
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (const size_t at = rest.rfind('@'); at != std::string_view::npos) {
        rest = rest.substr(at + 1);
    }
    rest = rest.substr(0, rest.find(':'));
    std::string host(rest);
    for (char& c : host) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return host;
}

std::string PercentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

std::string FoldSpaces(std::string_view utf8) {
    constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";
    std::string out;
    out.reserve(utf8.size());
    bool space = false;
    for (size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        size_t length = 0;
        if (c <= 0x20 || c == 0x7F) {
            length = 1;
        } else if (utf8.substr(i, kIdeographicSpace.size()) == kIdeographicSpace) {
            length = kIdeographicSpace.size();
        }
        if (length > 0) {
            space = true;
            i += length;
            continue;
        }
        if (space && !out.empty()) {
            out += ' ';
        }
        space = false;
        out += utf8[i++];
    }
    return out;
}

std::optional<std::string> SearchPhraseOf(std::string_view address) {
    const size_t query = FindMultibyte(address, '?');
    if (query == std::string_view::npos) {
        return std::nullopt;
    }
    const std::vector<Parameter> parameters = ParametersOf(address.substr(query + 1));
    const std::string host = HostOfAddress(address.substr(0, query));
    const Parameter* words = WordsParameter(parameters, host);
    if (words == nullptr) {
        return std::nullopt;
    }
    const std::string bytes = PercentDecode(words->value);
    std::optional<std::string> text;
    if (const std::optional<JapaneseCharset> named = NamedCharset(parameters)) {
        text = DecodeStrictly(bytes, *named);
    }
    if (!text) {
        if (std::optional<DecodedText> likeliest = DecodeLikeliestJapanese(bytes)) {
            text = std::move(likeliest->utf8);
        } else {
            text = DecodeCp932ToUtf8(bytes);
        }
    }
    std::string phrase = FoldSpaces(*text);
    if (phrase.empty()) {
        return std::nullopt;
    }
    return phrase;
}

void PhrasesAccumulator::IndexLoaded() {
    m_phraseOf.clear();
    m_hostOf.clear();
    for (size_t i = 0; i < m_hosts.size(); ++i) {
        if (!m_hostOf.emplace(m_hosts[i], static_cast<int>(i)).second) {
            throw StateError("a host twice");
        }
    }
    for (size_t i = 0; i < m_phrases.size(); ++i) {
        if (!m_phraseOf.emplace(m_phrases[i].text, static_cast<int>(i)).second) {
            throw StateError("a phrase twice");
        }
        for (const int host : m_phrases[i].hosts) {
            if (host < 0 || static_cast<size_t>(host) >= m_hosts.size()) {
                throw StateError("a host out of range");
            }
        }
    }
}

int PhrasesAccumulator::PhraseIndex(const std::string& text) {
    const auto [it, added] = m_phraseOf.try_emplace(text, static_cast<int>(m_phrases.size()));
    if (added) {
        m_phrases.push_back({text, 0, {}});
    }
    return it->second;
}

int PhrasesAccumulator::HostIndex(const std::string& host) {
    const auto [it, added] = m_hostOf.try_emplace(host, static_cast<int>(m_hosts.size()));
    if (added) {
        m_hosts.push_back(host);
    }
    return it->second;
}

void PhrasesAccumulator::AddHost(int phrase, int host) {
    std::vector<int>& hosts = m_phrases[static_cast<size_t>(phrase)].hosts;
    if (host >= 0 && std::find(hosts.begin(), hosts.end(), host) == hosts.end()) {
        hosts.push_back(host);
    }
}

void PhrasesAccumulator::Step(std::span<const Slot> batch) {
    for (const Slot& s : batch) {
        if (!HasMarker(s.line, kMarker5)) {
            continue;
        }
        const std::string_view address = Content(s.line);
        auto it = m_addressInfo.find(address);
        if (it == m_addressInfo.end()) {
            AddressInfo info;
            if (const std::optional<std::string> phrase = SearchPhraseOf(address)) {
                info.phrase = PhraseIndex(*phrase);
                const std::string host = HostOfAddress(address.substr(0, FindMultibyte(address, '?')));
                info.host = host.empty() ? -1 : HostIndex(host);
            }
            it = m_addressInfo.emplace(m_addresses->Keep(address), info).first;
        }
        const AddressInfo& info = it->second;
        if (info.phrase >= 0) {
            // The first line of an address may not be the first of its phrase and host.
            AddHost(info.phrase, info.host);
            ++m_phrases[static_cast<size_t>(info.phrase)].count;
            ++m_total;
        }
    }
}

void PhrasesAccumulator::Merge(PhrasesAccumulator& later) {
    m_total += later.m_total;
    for (const Phrase& phrase : later.m_phrases) {
        const int mine = PhraseIndex(phrase.text);
        m_phrases[static_cast<size_t>(mine)].count += phrase.count;
        for (const int host : phrase.hosts) {
            AddHost(mine, HostIndex(later.m_hosts[static_cast<size_t>(host)]));
        }
    }
}

PhrasesResult PhrasesAccumulator::Finish(const WalkEnd&) {
    PhrasesResult result;
    result.total = m_total;
    result.rows.reserve(m_phrases.size());
    for (Phrase& phrase : m_phrases) {
        PhraseRow row;
        row.cp932 = EncodeUtf8ToCp932(phrase.text);
        row.phrase = std::move(phrase.text);
        row.count = phrase.count;
        row.hosts.reserve(phrase.hosts.size());
        for (const int host : phrase.hosts) {
            row.hosts.push_back(m_hosts[static_cast<size_t>(host)]);
        }
        result.rows.push_back(std::move(row));
    }
    std::sort(result.rows.begin(), result.rows.end(), ComesBefore);
    return result;
}

PhrasesResult ComputePhrases(const LineStore& store) { return ComputeOverStore(store, PhrasesAccumulator()); }

std::string PhraseShownInCp932(const PhraseRow& row) {
    if (row.cp932) {
        return *row.cp932;
    }
    std::string shown;
    const std::string_view text = row.phrase;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = 1;
        if (lead >= 0xF0) {
            length = 4;
        } else if (lead >= 0xE0) {
            length = 3;
        } else if (lead >= 0xC0) {
            length = 2;
        }
        length = std::min(length, text.size() - i);
        const std::optional<std::string> character = EncodeUtf8ToCp932(text.substr(i, length));
        shown += character ? *character : std::string("?");
        i += length;
    }
    return shown;
}

std::string FormatPhrasesText(const PhrasesResult& result) {
    std::string text = "検索語句調査\t"_sj;
    AppendFormat(text, "%lld 回\r\n\r\n"_sjf, result.total);
    for (const PhraseRow& row : result.rows) {
        AppendFormat(text, "%lld\t", row.count);
        text += PhraseShownInCp932(row);
        // The hosts follow the phrase in the same last column: a column after phrases of
        // different widths would not line up, in the window nor in a terminal.
        if (!row.hosts.empty()) {
            text += "　（"_sj;
            for (size_t h = 0; h < row.hosts.size(); ++h) {
                if (h > 0) {
                    text += " ";
                }
                text += row.hosts[h];
            }
            text += "）"_sj;
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace quorlet3
