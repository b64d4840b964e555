// Japanese text in an unknown encoding: strict decoding from UTF-8, EUC-JP and cp932,
// and the choice of the likeliest of them for bytes that several decode.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorlet3 {

enum class JapaneseCharset { Utf8, EucJp, Cp932 };

// The bytes decoded to UTF-8, or nothing unless every byte belongs to a character of the
// charset. EUC-JP includes the NEC and IBM extensions that Windows adds (as cp932 does).
std::optional<std::string> DecodeStrictly(std::string_view bytes, JapaneseCharset charset);

// The charset a name stands for, as web forms name them ("UTF-8", "euc-jp", "Shift_JIS",
// "sjis", "windows-31j", ...), in any letter case; nothing for other names.
std::optional<JapaneseCharset> CharsetOfName(std::string_view name);

// How much UTF-8 text looks like Japanese: hiragana and katakana score most, then the
// common (first-level) kanji, punctuation and full-width letters; half-width katakana,
// characters that cp932 lacks, rare rows and control characters score below zero.
// ASCII letters and digits score nothing. Used to choose among decodings.
int JapaneseLikelihood(std::string_view utf8);

struct DecodedText {
    std::string utf8;
    JapaneseCharset charset = JapaneseCharset::Utf8;
};

// The bytes decoded by the one of UTF-8, EUC-JP and cp932 that decodes them; where
// several do, the one whose text is likeliest Japanese, and on a tie the first of
// UTF-8, EUC-JP, cp932 (pure ASCII reads the same in all three: UTF-8). Nothing when
// none of them decodes the bytes.
std::optional<DecodedText> DecodeLikeliestJapanese(std::string_view bytes);

}  // namespace quorlet3
