// cp932 <-> UTF-8 through glibc's iconv, with every invalid byte shown as U+FFFD.
#include "encoding/Cp932.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace quorlet3 {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// One conversion descriptor per direction, opened once and reset before each use.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr): iconv_open's failure value
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as it can; returns the number of input bytes consumed and
    // whether it stopped at an unconvertible or incomplete sequence.
    struct Step {
        size_t consumed;
        bool stuck;
    };
    Step Convert(std::string_view in, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buffer[16384];
        while (srcLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<size_t>(dst - buffer));
            if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
                return {in.size() - srcLeft, true};
            }
        }
        return {in.size(), false};
    }

private:
    iconv_t cd_;
};

Converter& Decoder() {
    thread_local Converter converter("UTF-8", "CP932");
    return converter;
}

Converter& Encoder() {
    thread_local Converter converter("CP932", "UTF-8");
    return converter;
}

}  // namespace

std::string DecodeCp932ToUtf8(std::string_view cp932) {
    std::string out;
    out.reserve(cp932.size() + cp932.size() / 2);
    while (!cp932.empty()) {
        auto step = Decoder().Convert(cp932, out);
        cp932.remove_prefix(step.consumed);
        if (step.stuck && !cp932.empty()) {
            // Show the offending byte and go on with the next one, which may well
            // begin a valid character of its own (an ASCII byte after a lone lead byte).
            out += kReplacement;
            cp932.remove_prefix(1);
        }
    }
    return out;
}

std::optional<std::string> EncodeUtf8ToCp932(std::string_view utf8) {
    std::string out;
    auto step = Encoder().Convert(utf8, out);
    if (step.stuck) {
        return std::nullopt;
    }
    return out;
}

std::string CrLfToLf(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    // Copy the runs between CR LF pairs in one piece each, leaving out every such CR.
    size_t from = 0;
    for (size_t pair = text.find("\r\n"); pair != std::string_view::npos; pair = text.find("\r\n", pair + 2)) {
        out.append(text, from, pair - from);
        from = pair + 1;
    }
    out.append(text, from);
    return out;
}

}  // namespace quorlet3
