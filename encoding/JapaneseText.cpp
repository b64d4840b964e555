// Strict decoding of Japanese text through glibc's iconv, and the choice among charsets.
#include "encoding/JapaneseText.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <stdexcept>

#include "encoding/Cp932.h"

namespace quorlet3 {
namespace {

// iconv's names of the charsets, in the order of JapaneseCharset.
constexpr std::array<const char*, 3> kIconvNames = {"UTF-8", "EUC-JP-MS", "CP932"};

// A descriptor to UTF-8 from one charset, opened once per thread.
class StrictDecoder {
public:
    explicit StrictDecoder(const char* from) : m_cd(iconv_open("UTF-8", from)) {
        if (m_cd == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr): iconv_open's failure value
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to UTF-8");
        }
    }
    ~StrictDecoder() { iconv_close(m_cd); }
    StrictDecoder(const StrictDecoder&) = delete;
    StrictDecoder& operator=(const StrictDecoder&) = delete;

    std::optional<std::string> Decode(std::string_view in) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buffer[4096];
        while (srcLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            const size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<size_t>(dst - buffer));
            if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
                return std::nullopt;  // an invalid or cut-off sequence
            }
        }
        return out;
    }

private:
    iconv_t m_cd;
};

StrictDecoder& DecoderFor(JapaneseCharset charset) {
    thread_local StrictDecoder utf8(kIconvNames[0]);
    thread_local StrictDecoder eucJp(kIconvNames[1]);
    thread_local StrictDecoder cp932(kIconvNames[2]);
    switch (charset) {
        case JapaneseCharset::EucJp:
            return eucJp;
        case JapaneseCharset::Cp932:
            return cp932;
        case JapaneseCharset::Utf8:
            break;
    }
    return utf8;
}

// The length of the UTF-8 sequence its first byte begins (decoded text is valid UTF-8).
size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xF0) {
        return 4;
    }
    return lead >= 0xE0 ? 3 : 2;
}

// The score of one character by its cp932 form: for a double-byte character, the row of
// JIS X 0208 it stands in (1 to 94; NEC and IBM rows above).
int CharacterScore(std::string_view utf8Character) {
    const auto lead = static_cast<unsigned char>(utf8Character[0]);
    if (lead < 0x80) {
        return lead < 0x20 || lead == 0x7F ? -5 : 0;
    }
    const std::optional<std::string> sjis = EncodeUtf8ToCp932(utf8Character);
    if (!sjis) {
        return -3;  // not a character of Japanese text
    }
    if (sjis->size() == 1) {
        return -2;  // half-width katakana: seldom typed, often a misreading
    }
    const auto s1 = static_cast<unsigned char>((*sjis)[0]);
    const auto s2 = static_cast<unsigned char>((*sjis)[1]);
    const int row = (s1 - (s1 <= 0x9F ? 0x70 : 0xB0)) * 2 - (s2 < 0x9F ? 1 : 0) - 0x20;
    if (row == 4 || row == 5) {
        return 3;  // hiragana, katakana
    }
    if (row >= 16 && row <= 47) {
        return 2;  // first-level kanji
    }
    if (row == 1 || row == 3) {
        return 1;  // punctuation and the long vowel mark, full-width letters and digits
    }
    if (row == 2 || (row >= 48 && row <= 84)) {
        return 0;  // symbols, second-level kanji
    }
    return -2;  // Greek, Cyrillic, box drawing, empty rows, NEC and IBM extensions
}

}  // namespace

std::optional<std::string> DecodeStrictly(std::string_view bytes, JapaneseCharset charset) {
    return DecoderFor(charset).Decode(bytes);
}

std::optional<JapaneseCharset> CharsetOfName(std::string_view name) {
    // Compared without case, and without '-' and '_', which forms spell either way.
    std::string key;
    for (char c : name) {
        if (c == '-' || c == '_') {
            continue;
        }
        key += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    static const struct {
        std::string_view key;
        JapaneseCharset charset;
    } kNames[] = {
        {"utf8", JapaneseCharset::Utf8},        {"eucjp", JapaneseCharset::EucJp},
        {"xeucjp", JapaneseCharset::EucJp},     {"eucjpms", JapaneseCharset::EucJp},
        {"euc", JapaneseCharset::EucJp},        {"shiftjis", JapaneseCharset::Cp932},
        {"sjis", JapaneseCharset::Cp932},       {"xsjis", JapaneseCharset::Cp932},
        {"cp932", JapaneseCharset::Cp932},      {"ms932", JapaneseCharset::Cp932},
        {"windows31j", JapaneseCharset::Cp932}, {"mskanji", JapaneseCharset::Cp932},
    };
    for (const auto& n : kNames) {
        if (key == n.key) {
            return n.charset;
        }
    }
    return std::nullopt;
}

int JapaneseLikelihood(std::string_view utf8) {
    int score = 0;
    for (size_t i = 0; i < utf8.size();) {
        const size_t length = std::min(SequenceLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        score += CharacterScore(utf8.substr(i, length));
        i += length;
    }
    return score;
}

std::optional<DecodedText> DecodeLikeliestJapanese(std::string_view bytes) {
    std::optional<DecodedText> best;
    int bestScore = 0;
    for (const JapaneseCharset charset : {JapaneseCharset::Utf8, JapaneseCharset::EucJp, JapaneseCharset::Cp932}) {
        std::optional<std::string> text = DecodeStrictly(bytes, charset);
        if (!text) {
            continue;
        }
        const int score = JapaneseLikelihood(*text);
        if (!best || score > bestScore) {
            best = DecodedText{std::move(*text), charset};
            bestScore = score;
        }
    }
    return best;
}

}  // namespace quorlet3
