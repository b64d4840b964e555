// Records as the counter writes them, for building small test logs line by line.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/Cp932Literal.h"

namespace quorlet3::test {

using Lines = std::vector<std::string>;

// A sound main-page record whose guest-number line reads "①" followed by number.
inline Lines MainRecord(const std::string& number) {
    return {"①"_sj + number, "②Wednesday, 15-Jul-98 13:45:12 JST"_sj, "③ppp12.example.ne.jp"_sj,
            "④Mozilla/4.0 (compatible; MSIE 4.01; Windows 95)"_sj, "⑤http://www.example.co.jp/links.html"_sj};
}
inline Lines MainRecord(int guest) { return MainRecord(std::to_string(guest)); }

// A sound page record.
inline Lines PageRecord(const std::string& page) { return {"⑥"_sj + page, "⑦Wednesday, 15-Jul-1998 21:03:44 JST"_sj}; }

inline Lines Concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

}  // namespace quorlet3::test
