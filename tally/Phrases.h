// Search phrases: the words that search pages sent guests here with, decoded and tallied.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "logstore/Accumulator.h"
#include "logstore/LineStore.h"

namespace quorlet3 {

// The host of an address ("http://Search.Yahoo.co.jp:80/bin?p=x" gives
// "search.yahoo.co.jp"), ASCII letters in lower case; empty when it names none.
std::string HostOfAddress(std::string_view address);

// Percent-escapes decoded to their bytes and '+' to a space; a '%' not followed by two
// hex digits stays as it is.
std::string PercentDecode(std::string_view text);

// Full-width spaces, ASCII white space and control characters read as spaces; runs of
// them become one space, and none begins or ends the text. UTF-8 in and out.
std::string FoldSpaces(std::string_view utf8);

// The search phrase of a referring address, as UTF-8, or nothing when it carries none.
// The words are the value of the parameter that the address's search host uses (a table
// of Japanese and international search sites), else of the first of q, p, qt, MT,
// search, query, kw, word that the query holds. They are percent-decoded, then decoded
// from the charset a parameter names (ie, ei, enc, encoding, charset, inputencoding)
// when it names one that decodes them, else from the likeliest of UTF-8, EUC-JP and
// cp932 (DecodeLikeliestJapanese); bytes none of them decodes are read as cp932 with
// U+FFFD for each invalid byte. Spaces are folded (FoldSpaces); an empty phrase is none.
std::optional<std::string> SearchPhraseOf(std::string_view address);

struct PhraseRow {
    std::string phrase;                // UTF-8
    std::optional<std::string> cp932;  // the same in cp932, when cp932 holds every character
    long long count = 0;               // referring lines that gave the phrase
    // The distinct search hosts that sent it, in order of first appearance: the log's
    // bytes, ASCII letters in lower case.
    std::vector<std::string> hosts;
};

struct PhrasesResult {
    long long total = 0;  // referring lines whose query gave a phrase
    // Most frequent first; equal counts: phrases with a cp932 form first, in the
    // multibyte order of that form, then the others by their UTF-8 bytes.
    std::vector<PhraseRow> rows;
};

// Tallies the phrases of the referring lines that hold a query ("?"). Each distinct
// address is decoded once; memory grows with the distinct addresses and phrases.
class PhrasesAccumulator {
public:
    std::string_view Marker() const { return kMarker5; }
    void Step(std::span<const Slot> batch);
    // Adds a later part: its new phrases and each phrase's new hosts come after those seen here.
    void Merge(PhrasesAccumulator& later);
    PhrasesAccumulator Fresh() const { return {}; }
    template <class Ar>
    void Keep(Ar& ar) {
        ar(m_total, m_phrases, m_hosts);
        // Read back, the indexes are made again from the lists, and the addresses' texts
        // are kept in the arena again; every index must name an item of its list.
        if constexpr (Ar::kLoading) {
            IndexLoaded();
            m_addressInfo.clear();
            const size_t count = ar.Count();
            for (size_t i = 0; i < count; ++i) {
                const std::string_view address = m_addresses->Keep(ar.Text());
                AddressInfo info;
                ar(info);
                if (info.phrase < -1 || info.phrase >= static_cast<long long>(m_phrases.size()) || info.host < -1 ||
                    info.host >= static_cast<long long>(m_hosts.size()) ||
                    !m_addressInfo.emplace(address, info).second) {
                    throw StateError("an address that does not fit");
                }
            }
        } else {
            ar(m_addressInfo);
        }
    }
    PhrasesResult Finish(const WalkEnd&);

private:
    struct Phrase {
        std::string text;  // UTF-8
        long long count = 0;
        std::vector<int> hosts;  // indexes into m_hosts, first appearance first
        template <class Ar>
        void Keep(Ar& ar) {
            ar(text, count, hosts);
        }
    };
    struct AddressInfo {
        int phrase = -1;  // -1: the address gives no phrase
        int host = -1;    // -1: no host
        template <class Ar>
        void Keep(Ar& ar) {
            ar(phrase, host);
        }
    };
    void IndexLoaded();
    int PhraseIndex(const std::string& text);
    int HostIndex(const std::string& host);
    void AddHost(int phrase, int host);

    long long m_total = 0;
    std::vector<Phrase> m_phrases;
    std::unordered_map<std::string, int> m_phraseOf;
    std::vector<std::string> m_hosts;
    std::unordered_map<std::string, int> m_hostOf;
    std::shared_ptr<StringArena> m_addresses = std::make_shared<StringArena>();
    std::unordered_map<std::string_view, AddressInfo> m_addressInfo;  // each distinct address read
};

PhrasesResult ComputePhrases(const LineStore& store);

// The phrase in cp932 for the text report: its cp932 form, or, when cp932 lacks some of
// its characters, the phrase with "?" in place of each of those.
std::string PhraseShownInCp932(const PhraseRow& row);

// The report text: a title with the total, then one row per phrase: its count, a tab, and
// the phrase (see PhraseShownInCp932) followed by an ideographic space and its hosts,
// separated by spaces, in full-width parentheses.
std::string FormatPhrasesText(const PhrasesResult& result);

}  // namespace quorlet3
