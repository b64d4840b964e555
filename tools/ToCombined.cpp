// quorlet3-tocombined: rewrites a hit-counter log (cp932) as a web server access log in
// the combined format, one line per access, so that general log analysers can read the
// same accesses (used by scripts/bench.sh).
//
//   main-page record (①..⑤)  host ③, time ②, "GET / HTTP/1.0" 200, referrer ⑤, browser ④
//   page record (⑥ ⑦)        host -, time ⑦, "GET /PAGE HTTP/1.0" 200, referrer -, browser -
//
// A page record names no visitor, so its host, referrer and browser are "-" rather than
// borrowed from an earlier main-page record. A main-page record cut short still counts
// as an access, with "-" for the lines it lacks. Records without a readable time stamp
// and lone ⑦ lines are skipped and counted on standard error.
//
// Text is converted from cp932 to UTF-8 (each byte iconv cannot convert becomes U+FFFD).
// In quoted fields '"' and '\' are escaped with '\', control bytes as \xHH; the page is
// percent-encoded in the request as a browser would send it; in the host, blanks and
// control bytes become '_'. Time stamps "Sunday, 05-Jul-98 13:04:55 JST" (or with a
// four-digit year; two-digit years below 70 are 20xx) become [05/Jul/1998:13:04:55 +0900].
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace {

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

class Decoder {
public:
    Decoder() : cd_(iconv_open("UTF-8", "CP932")) {}
    ~Decoder() {
        if (Ok()) {
            iconv_close(cd_);
        }
    }
    // NOLINTNEXTLINE(performance-no-int-to-ptr): iconv_open's failure value
    bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    std::string Utf8(std::string_view text) {
        std::string out(text.size() * 3 + 4, '\0');
        char* in = const_cast<char*>(text.data());
        size_t inLeft = text.size();
        char* to = out.data();
        size_t toLeft = out.size();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0) {
            if (iconv(cd_, &in, &inLeft, &to, &toLeft) != static_cast<size_t>(-1)) {
                break;
            }
            if (errno != EILSEQ && errno != EINVAL) {
                break;  // no room: cannot happen, three bytes per input byte suffice
            }
            // One byte that starts no character here: U+FFFD, then go on after it.
            for (const char byte : {'\xEF', '\xBF', '\xBD'}) {
                *to++ = byte;
            }
            toLeft -= 3;
            ++in;
            --inLeft;
        }
        out.resize(static_cast<size_t>(to - out.data()));
        return out;
    }

private:
    iconv_t cd_;
};

// Text of a quoted field; "-" when empty.
void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    if (text.empty()) {
        out += '-';
    }
    for (const char byte : text) {
        const auto c = static_cast<unsigned char>(byte);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

void AppendHost(std::string& out, std::string_view host) {
    if (host.empty()) {
        out += '-';
    }
    for (const char byte : host) {
        const auto c = static_cast<unsigned char>(byte);
        out += c <= 0x20 || c == 0x7F || c == '"' ? '_' : static_cast<char>(c);
    }
}

void AppendPercentEncoded(std::string& out, std::string_view text) {
    for (const char byte : text) {
        const auto c = static_cast<unsigned char>(byte);
        if (c <= 0x20 || c >= 0x7F || c == '"' || c == '%' || c == '\\' || c == '#' || c == '?') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
}

// "[05/Jul/1998:13:04:55 +0900]" from the log's time stamp, or empty when unreadable.
std::string CombinedTime(std::string_view stamp) {
    const size_t comma = stamp.find(", ");
    if (comma == std::string_view::npos) {
        return {};
    }
    const std::string rest(stamp.substr(comma + 2));
    int day = 0, year = 0, hour = 0, minute = 0, second = 0, used = 0;
    char month[4] = {};
    if (std::sscanf(rest.c_str(), "%2d-%3[A-Za-z]-%4d %2d:%2d:%2d%n", &day, month, &year, &hour, &minute, &second,
                    &used) != 6) {
        return {};
    }
    int monthIndex = 0;
    while (monthIndex < 12 && std::strcmp(kMonths[monthIndex], month) != 0) {
        ++monthIndex;
    }
    if (monthIndex == 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60) {
        return {};
    }
    if (year < 100) {
        year += year < 70 ? 2000 : 1900;
    }
    char text[64];
    std::snprintf(text, sizeof text, "[%02d/%s/%04d:%02d:%02d:%02d +0900]", day, kMonths[monthIndex], year, hour,
                  minute, second);
    return text;
}

struct Counts {
    long main = 0;
    long pages = 0;
    long skipped = 0;
};

class Converter {
public:
    explicit Converter(Decoder& decoder) : decoder_(decoder) {}

    void Line(std::string_view line) {
        const int marker = Marker(line);
        const std::string_view text = marker ? line.substr(2) : line;
        switch (marker) {
        case 1:
            FlushMain();
            inMain_ = true;
            break;
        case 2: case 3: case 4: case 5:
            if (inMain_) {
                field_[marker - 2] = text;
                if (marker == 5) {
                    FlushMain();
                }
            }
            break;
        case 6:
            FlushMain();
            page_ = text;
            inPage_ = true;
            break;
        case 7:
            FlushMain();
            if (inPage_) {
                Page(text);
            } else {
                ++counts_.skipped;
            }
            inPage_ = false;
            break;
        default:
            break;  // blank or unmarked lines belong to no access
        }
    }

    void Finish() { FlushMain(); }
    const std::string& Output() const { return out_; }
    const Counts& Tally() const { return counts_; }

private:
    // 1 for ① (87 40) .. 7 for ⑦ (87 46), 0 otherwise.
    static int Marker(std::string_view line) {
        if (line.size() >= 2 && static_cast<unsigned char>(line[0]) == 0x87) {
            const unsigned char second = static_cast<unsigned char>(line[1]);
            if (second >= 0x40 && second <= 0x46) {
                return second - 0x40 + 1;
            }
        }
        return 0;
    }

    void FlushMain() {
        if (!inMain_) {
            return;
        }
        inMain_ = false;
        const std::string time = CombinedTime(field_[0]);
        if (time.empty()) {
            ++counts_.skipped;
        } else {
            AppendHost(out_, decoder_.Utf8(field_[1]));
            out_ += " - - " + time + " \"GET / HTTP/1.0\" 200 - ";
            AppendQuoted(out_, decoder_.Utf8(field_[3]));
            out_ += ' ';
            AppendQuoted(out_, decoder_.Utf8(field_[2]));
            out_ += '\n';
            ++counts_.main;
        }
        for (auto& field : field_) {
            field = {};
        }
    }

    void Page(std::string_view stamp) {
        const std::string time = CombinedTime(stamp);
        if (time.empty()) {
            ++counts_.skipped;
            return;
        }
        out_ += "- - - " + time + " \"GET /";
        AppendPercentEncoded(out_, decoder_.Utf8(page_));
        out_ += " HTTP/1.0\" 200 - \"-\" \"-\"\n";
        ++counts_.pages;
    }

    Decoder& decoder_;
    std::string out_;
    Counts counts_;
    bool inMain_ = false;
    bool inPage_ = false;
    std::string_view field_[4];  // ② time, ③ host, ④ browser, ⑤ referrer
    std::string_view page_;
};

bool ReadAll(std::FILE* in, std::string& data) {
    char buffer[1 << 16];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
        data.append(buffer, got);
    }
    return !std::ferror(in);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || std::strcmp(argv[1], "--help") == 0) {
        std::fputs("Usage: quorlet3-tocombined LOGFILE [OUTPUT]\n"
                   "Writes the accesses of a cp932 hit-counter log in combined log format (UTF-8),\n"
                   "to OUTPUT or standard output.\n",
                   argc == 2 ? stdout : stderr);
        return argc == 2 ? 0 : 2;
    }
    std::FILE* in = std::fopen(argv[1], "rb");
    std::string data;
    if (in == nullptr || !ReadAll(in, data)) {
        std::perror(argv[1]);
        return 1;
    }
    std::fclose(in);
    Decoder decoder;
    if (!decoder.Ok()) {
        std::perror("iconv_open CP932");
        return 1;
    }
    Converter converter(decoder);
    for (size_t start = 0; start < data.size();) {
        size_t end = data.find('\n', start);
        if (end == std::string::npos) {
            end = data.size();
        }
        std::string_view line(data.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        converter.Line(line);
        start = end + 1;
    }
    converter.Finish();
    std::FILE* out = argc == 3 ? std::fopen(argv[2], "wb") : stdout;
    const std::string& text = converter.Output();
    if (out == nullptr || std::fwrite(text.data(), 1, text.size(), out) != text.size() ||
        (out != stdout && std::fclose(out) != 0)) {
        std::perror(argc == 3 ? argv[2] : "standard output");
        return 1;
    }
    const Counts& counts = converter.Tally();
    std::fprintf(stderr, "quorlet3-tocombined: %ld main-page and %ld page accesses, %ld records skipped\n",
                 counts.main, counts.pages, counts.skipped);
    return 0;
}
