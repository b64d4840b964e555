// The command-line tool's usage text and report list, from the report table.
#include "cli/Usage.h"

#include <algorithm>

#include "reports/CommandTable.h"

namespace quorlet3 {

std::string CliWords(const CommandRow& row) {
    std::string words = row.cliName;
    if (row.cliArgument != nullptr) {
        words += " ";
        words += row.cliArgument;
    }
    return words;
}

std::string Usage() { return Usage(CommandTable()); }

std::string Usage(std::span<const CommandRow> table) {
    std::string usage =
        "Usage: quorlet3-report [--format text|json|csv|html] [--raw]\n"
        "                       [--from LINE | --last | --whole [--jobs N] [--state FILE]]\n"
        "                       [--since YYYY-MM-DD] [--until YYYY-MM-DD] [--svg FILE]\n"
        "                       LOGFILE REPORT [ARG]\n"
        "\n"
        "Prints one report over 10000 lines of a cp932 access log (by default its first),\n"
        "or over the whole log with --whole. LOGFILE - reads standard input.\n"
        "\n"
        "Reports:\n";
    for (const CommandRow& row : table) {
        std::string name = CliWords(row);
        name.resize(std::max<size_t>(name.size() + 1, 22), ' ');
        usage += "  " + name + row.help + "\n";
    }
    usage +=
        "  all                   every report above but page-days, in menu order, over one\n"
        "                        load (json and html only; with --whole also but contents)\n"
        "\n"
        "Options:\n"
        "  --format text|json|csv|html\n"
        "                text: the report as the window shows it (default); json: one\n"
        "                object; csv: one table with a header row; html: one page of every\n"
        "                report (with all). Text is UTF-8 with LF, json/csv/html are UTF-8\n"
        "  --raw         with text: write the report's cp932 bytes unchanged (CR LF line\n"
        "                ends) and take PAGE as raw bytes\n"
        "  --from LINE   read 10000 lines from file line LINE on (1 is the first)\n"
        "  --last        read the last 10000 lines, from the first that begins a record\n"
        "  --since DATE  read from the first record dated DATE (YYYY-MM-DD) or later\n"
        "  --until DATE  read up to the last record dated DATE or earlier; with --since\n"
        "                or alone, the first 10000 lines of that window, or all of it\n"
        "                with --whole (the log's dates must rise through the file)\n"
        "  --whole       read every line of the log, in parallel parts; tables keep every\n"
        "                value ('all' leaves out the contents listing)\n"
        "  --jobs N      with --whole: threads to read with (default: one per core)\n"
        "  --state FILE  with --whole: keep the log's state in FILE and, when FILE holds it,\n"
        "                read only the bytes appended since (not with contents, --since\n"
        "                or --until)\n"
        "  --part-size BYTES\n"
        "                with --whole: bytes per part (default 8 MiB; for tests)\n"
        "  --svg FILE    with share: also draw the two pies into FILE as SVG\n"
        "  --list-reports\n"
        "                list every REPORT [ARG] but page-days, one a line\n"
        "  -h, --help    show this help\n"
        "  -v, --version show the version\n";
    return usage;
}

std::string ReportList() { return ReportList(CommandTable()); }

std::string ReportList(std::span<const CommandRow> table) {
    std::string list;
    for (const CommandRow* row : AllReportRows(table)) {
        list += CliWords(*row) + "\n";
    }
    return list;
}

}  // namespace quorlet3
