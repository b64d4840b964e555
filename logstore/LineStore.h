// The line store: 10000 line slots and the end slot, plus the byte patterns of the log.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace quorlet3 {

inline constexpr int kLineSlots = 10000;       // lines read from one log at most
inline constexpr int kStoreSlots = kLineSlots + 1;  // line slots plus the end slot

// Record markers, the circled digits one to seven in cp932.
inline constexpr std::string_view kMarker1 = "\x87\x40";  // guest number
inline constexpr std::string_view kMarker2 = "\x87\x41";  // main-page time stamp
inline constexpr std::string_view kMarker3 = "\x87\x42";  // host
inline constexpr std::string_view kMarker4 = "\x87\x43";  // browser string
inline constexpr std::string_view kMarker5 = "\x87\x44";  // referring address
inline constexpr std::string_view kMarker6 = "\x87\x45";  // page name
inline constexpr std::string_view kMarker7 = "\x87\x46";  // page time stamp

// Written after the last line read; every walk of the store ends at it.
inline constexpr std::string_view kSentinel = "FileEND";

// The marker named by its digit (1 to 7), or an empty view for any other number.
std::string_view MarkerOf(int digit);

// Slots 0 to 9999 are the line slots, slot 10000 the end slot.
struct LineStore {
    std::array<std::string, kLineSlots> m_strLine;
    std::string m_strEndSlot;

    const std::string& operator[](int slot) const {
        return slot < kLineSlots ? m_strLine[static_cast<size_t>(slot)] : m_strEndSlot;
    }
    std::string& operator[](int slot) { return slot < kLineSlots ? m_strLine[static_cast<size_t>(slot)] : m_strEndSlot; }
};

}  // namespace quorlet3
