// Writes the HTML report of a log file: html-page-writer LOGFILE OUTFILE. Used by the
// browser test and for the README's screenshot.
#include <cstdio>
#include <exception>
#include <string>

#include "logstore/Quorlet3Doc.h"
#include "logstore/ReadingRules.h"
#include "output/HtmlOutput.h"
#include "reports/CommandTable.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("Usage: html-page-writer LOGFILE OUTFILE\n", stderr);
        return 2;
    }
    quorlet3::CQuorlet3Doc doc;
    try {
        doc.LoadLogFile(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "html-page-writer: %s\n", e.what());
        return 1;
    }
    const std::string page = quorlet3::FormatHtmlReport(argv[1], quorlet3::WalkLength(doc.Store()),
                                                        quorlet3::RunRows(quorlet3::AllReportRows(), doc.Store()));
    std::FILE* out = std::fopen(argv[2], "wb");
    if (out == nullptr) {
        std::perror(argv[2]);
        return 1;
    }
    const bool written = std::fwrite(page.data(), 1, page.size(), out) == page.size();
    if (std::fclose(out) != 0 || !written) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
