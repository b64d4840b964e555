// The seven browser classes of the share report and the three families the second pie
// shows: one table for the classification, the text, the pies and every output format.
#pragma once

#include <array>
#include <string_view>

#include "encoding/Cp932Literal.h"
#include "share/ShareCounters.h"

namespace quorlet3 {

struct Rgb {
    int red;
    int green;
    int blue;
    bool operator==(const Rgb&) const = default;
};

enum class ShareFamily { Msie, Netscape, Other };

struct ShareClass {
    int counter;              // its index in ShareCounters
    std::string_view key;     // name in JSON and CSV
    std::string_view label;   // name in the report text and the pie legend (cp932)
    std::string_view prefix;  // the browser line begins so, marker included (empty: the rest)
    Rgb colour;               // its sector and swatch in the version pie
    ShareFamily family;
    bool modern;  // version 3.0 or later
};

// In the order of the text, the legend and the swatches. A line belongs to the first
// class whose prefix it begins with: the MSIE forms also begin like a Netscape form,
// so they come first.
inline constexpr std::array<ShareClass, 7> kShareClasses = {{
    {kShareMsie20,
     "MSIE2.0",
     "MSIE2.0",
     "④Mozilla/1.22 (compatible; MSIE 2.0"_sj,
     {0, 255, 255},
     ShareFamily::Msie,
     false},
    {kShareMsie30, "MSIE3.0", "MSIE3.0", "④Mozilla/2.0 (compatible; MSIE 3.0"_sj, {0, 0, 255}, ShareFamily::Msie, true},
    {kShareMsie40,
     "MSIE4.0",
     "MSIE4.0",
     "④Mozilla/4.0 (compatible; MSIE 4.0"_sj,
     {255, 0, 255},
     ShareFamily::Msie,
     true},
    {kShareNn20, "NN2.0", " NN 2.0", "④Mozilla/2.0"_sj, {255, 255, 0}, ShareFamily::Netscape, false},
    {kShareNn30, "NN3.0", " NN 3.0", "④Mozilla/3.0"_sj, {0, 255, 0}, ShareFamily::Netscape, true},
    {kShareNn40, "NN4.0", " NN 4.0", "④Mozilla/4.0"_sj, {255, 0, 0}, ShareFamily::Netscape, true},
    {kShareOther, "other", "その他"_sj, "", {127, 127, 127}, ShareFamily::Other, false},
}};

struct ShareFamilyClass {
    ShareFamily family;
    std::string_view label;  // in the family legend (cp932)
    Rgb colour;              // its sector and swatch in the family pie
};

inline constexpr std::array<ShareFamilyClass, 3> kShareFamilies = {{
    {ShareFamily::Msie, "MSIE", {0, 0, 255}},
    {ShareFamily::Netscape, "Netscape", {0, 255, 0}},
    {ShareFamily::Other, "その他"_sj, {127, 127, 127}},
}};

// The lines of one family: the sum of its classes.
inline long long FamilyCount(const ShareCounters& counters, ShareFamily family) {
    long long sum = 0;
    for (const ShareClass& c : kShareClasses) {
        sum += c.family == family ? counters[static_cast<size_t>(c.counter)] : 0;
    }
    return sum;
}

}  // namespace quorlet3
