#include "CommandLine.h"

#include <getopt.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <optional>
#include <string_view>

#include "format/FormatLanguage.h"
#include "lang/TextRow.h"
#include "output/TextExport.h"
#include "platform/Encoding.h"
#include "platform/FileDescriptor.h"
#include "platform/FileRead.h"
#include "scan/EntryFilter.h"

namespace {

// A whole decimal number from 1 to kMaxThreads; nothing else.
constexpr unsigned kMaxThreads = 1024;
bool ParseThreads(const std::string& strArg, unsigned& nThreads) {
    unsigned n = 0;
    const char* pEnd = strArg.data() + strArg.size();
    const auto [ptr, ec] = std::from_chars(strArg.data(), pEnd, n);
    if (ec != std::errc() || ptr != pEnd || n < 1 || n > kMaxThreads)
        return false;
    nThreads = n;
    return true;
}

enum ELongOnly {
    kOptProgress = 1000,
    kOptVersion,
    kOptBom,
    kOptRawFields,
    kOptHash,
    kOptCompare,
    kOptExclude,
    kOptExcludeFrom,
    kOptIgnoreCase,
    kOptNoHidden,
    kOptMaxDepth,
};

// A whole decimal number from 1 (DIRECTORY's own entries) to 2^31 - 1; nothing else. Depth 0
// would list nothing below DIRECTORY.
bool ParseDepth(const std::string& strArg, int& nDepth) {
    const char* pEnd = strArg.data() + strArg.size();
    const auto [ptr, ec] = std::from_chars(strArg.data(), pEnd, nDepth);
    return ec == std::errc() && ptr == pEnd && nDepth >= 1;
}

// The double quote encloses fields of the text export, so it cannot also separate them.
constexpr std::string_view kQuote = "\"";

// Usage errors that are said in the language chosen: the option may come before -l.
enum class EUsageText { QuoteSeparator, Count };
constexpr STextRow<EUsageText> kUsageTexts[] = {
    {EUsageText::QuoteSeparator,
     "the double quote cannot separate the columns: it encloses the fields that hold the "
     "separator",
     "Das doppelte Anführungszeichen kann die Spalten nicht trennen: Es umschließt die Felder, "
     "die das Trennzeichen enthalten"},
};
static_assert(RowsMatchIds(kUsageTexts, EUsageText::Count),
              "one row per text, in the order of the ids");

// The options that only make sense together; false with the reason when they do nothing.
bool CheckCombinations(const SCommandLine& cmd, std::string& strError) {
    if (cmd.strSeparator == kQuote) {
        strError = TextOf(kUsageTexts, EUsageText::QuoteSeparator, cmd.eLanguage);
        return false;
    }
    // Only the JSON export carries hashes, and --compare compares them.
    if (cmd.bHashGiven && !cmd.bCompare && cmd.eExport != EExportKind::Json) {
        strError = "--hash needs -e json or --compare: no other export shows hashes";
        return false;
    }
    if (cmd.bCompare && cmd.eExport != EExportKind::Listing && cmd.eExport != EExportKind::Json) {
        strError = "--compare writes lines or json (-e json), no other export";
        return false;
    }
    if (cmd.bCompare && !(cmd.filters == SFilterSettings{})) {
        strError = "--compare scans with the snapshot's filters; give none";
        return false;
    }
    return true;
}

// A pattern file would never be this large; anything larger is not one.
constexpr std::size_t kMaxPatternFile = 16 * 1024 * 1024;

// The patterns of an --exclude-from file: one a line (CR LF too), empty lines and lines that
// begin with "#" left out, a byte order mark before the first line too. False with the reason
// when it cannot be read or is not text.
bool ReadPatternFile(const std::string& strFile, std::vector<std::string>& patterns,
                     std::string& strError) {
    std::string strText;
    const auto fail = [&](const std::string& strReason) {
        strError = "cannot read the pattern file '" + strFile + "': " + strReason;
        return false;
    };
    CFileDescriptor fd;
    SFileKind kind;
    std::error_code ec = OpenForReading(strFile, fd);
    if (!ec)
        ec = KindOf(fd, kind);
    if (ec)
        return fail(std::strerror(ec.value()));
    if (kind.bDirectory)
        return fail(std::strerror(EISDIR));
    char buffer[65536];
    for (;;) {
        std::size_t n = 0;
        if ((ec = ReadSome(fd, buffer, sizeof buffer, n)))
            return fail(std::strerror(ec.value()));
        if (n == 0)
            break;
        strText.append(buffer, n);
        if (strText.size() > kMaxPatternFile)
            return fail("larger than 16 MiB");
    }
    if (strText.find('\0') != std::string::npos)
        return fail("not a text file (it holds NUL bytes)");
    std::size_t nStart = strText.starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : 0;
    while (nStart < strText.size()) {
        std::size_t nEnd = strText.find('\n', nStart);
        if (nEnd == std::string::npos)
            nEnd = strText.size();
        std::string_view strLine(strText.data() + nStart, nEnd - nStart);
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.remove_suffix(1);
        if (!strLine.empty() && strLine.front() != '#')
            patterns.emplace_back(strLine);
        nStart = nEnd + 1;
    }
    return true;
}

// "name size ...": the field keywords, in the order the definition dialog offers them.
std::string KeywordList() {
    std::string strList;
    for (const SFieldKeyword& keyword : kFieldKeywords) {
        if (!strList.empty())
            strList += ' ';
        strList += keyword.strKeyword;
    }
    return strList;
}

} // namespace

bool ParseCommandLine(int argc, char** argv, SCommandLine& cmd, std::string& strError) {
    static const option kLongOptions[] = {
        {"recursive", no_argument, nullptr, 'r'},
        {"format", required_argument, nullptr, 'f'},
        {"export", required_argument, nullptr, 'e'},
        {"separator", required_argument, nullptr, 's'},
        {"bom", no_argument, nullptr, kOptBom},
        {"raw-fields", no_argument, nullptr, kOptRawFields},
        {"language", required_argument, nullptr, 'l'},
        {"output", required_argument, nullptr, 'o'},
        {"threads", required_argument, nullptr, 'j'},
        {"progress", no_argument, nullptr, kOptProgress},
        {"hash", required_argument, nullptr, kOptHash},
        {"compare", required_argument, nullptr, kOptCompare},
        {"exclude", required_argument, nullptr, kOptExclude},
        {"exclude-from", required_argument, nullptr, kOptExcludeFrom},
        {"ignore-case", no_argument, nullptr, kOptIgnoreCase},
        {"no-hidden", no_argument, nullptr, kOptNoHidden},
        {"one-file-system", no_argument, nullptr, 'x'},
        {"max-depth", required_argument, nullptr, kOptMaxDepth},
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, kOptVersion},
        {nullptr, 0, nullptr, 0},
    };
    opterr = 0;
    optind = 1;
    for (;;) {
        const int nOpt = getopt_long(argc, argv, ":rf:e:s:l:o:j:xh", kLongOptions, nullptr);
        if (nOpt == -1)
            break;
        const std::string strArg = optarg != nullptr ? optarg : "";
        switch (nOpt) {
        case 'r':
            cmd.bRecursive = true;
            break;
        case 'f':
            cmd.strFormat = FormatLineToUtf8(strArg); // as a line of formats.def is read
            break;
        case 'e':
            if (strArg == "listing")
                cmd.eExport = EExportKind::Listing;
            else if (strArg == "text")
                cmd.eExport = EExportKind::Text;
            else if (strArg == "html")
                cmd.eExport = EExportKind::Html;
            else if (strArg == "json")
                cmd.eExport = EExportKind::Json;
            else if (strArg == "html-app")
                cmd.eExport = EExportKind::HtmlApp;
            else {
                strError = "unknown export kind '" + strArg +
                           "' (use listing, text, html, json or html-app)";
                return false;
            }
            break;
        case 's':
            // The quote is refused once the language of the message is known.
            if (strArg != kQuote && !IsSeparatorAllowed(strArg)) {
                // One character that is a control character would break the rows.
                const bool bOneCharacter =
                    IsValidUtf8(strArg) && Utf8Length(strArg) == 1 && strArg[0] != '\0';
                strError = bOneCharacter ? "a control character cannot separate the columns "
                                           "(a tab can)"
                                         : "the separator must be exactly one character";
                return false;
            }
            cmd.strSeparator = strArg;
            break;
        case 'l':
            if (strArg == "en")
                cmd.eLanguage = ELanguage::English;
            else if (strArg == "de")
                cmd.eLanguage = ELanguage::German;
            else {
                strError = "unknown language '" + strArg + "' (use en or de)";
                return false;
            }
            break;
        case 'o':
            if (strArg.empty()) {
                strError = "the output file name is empty";
                return false;
            }
            cmd.strOutput = strArg;
            cmd.bHasOutput = true;
            break;
        case 'j':
            if (!ParseThreads(strArg, cmd.nThreads)) {
                strError = "the thread count must be a whole number from 1 to " +
                           std::to_string(kMaxThreads);
                return false;
            }
            break;
        case kOptBom:
            cmd.bBom = true;
            break;
        case kOptRawFields:
            cmd.bRawFields = true;
            break;
        case kOptProgress:
            cmd.bProgress = true;
            break;
        case kOptHash:
            if (const std::optional<EHashAlgorithm> eHash = HashAlgorithmByName(strArg)) {
                cmd.eHash = *eHash;
                cmd.bHashGiven = true;
            } else {
                strError = "unknown hash '" + strArg + "' (use sha256 or xxh128)";
                return false;
            }
            break;
        case kOptExclude:
            cmd.filters.patterns.push_back(strArg);
            break;
        case kOptExcludeFrom:
            if (!ReadPatternFile(strArg, cmd.filters.patterns, strError))
                return false;
            break;
        case kOptIgnoreCase:
            cmd.filters.bIgnoreCase = true;
            break;
        case kOptNoHidden:
            cmd.filters.bNoHidden = true;
            break;
        case 'x':
            cmd.filters.bOneFileSystem = true;
            break;
        case kOptMaxDepth:
            if (!ParseDepth(strArg, cmd.filters.nMaxDepth)) {
                strError = "the depth must be a whole number from 1 to 2147483647";
                return false;
            }
            cmd.bRecursive = true;
            break;
        case kOptCompare:
            if (strArg.empty()) {
                strError = "the snapshot file name is empty";
                return false;
            }
            cmd.strSnapshot = strArg;
            cmd.bCompare = true;
            break;
        case 'h':
            cmd.bHelp = true;
            break;
        case kOptVersion:
            cmd.bVersion = true;
            break;
        case ':':
            strError = "missing value for option " + std::string(argv[optind - 1]);
            return false;
        default:
            strError =
                "unknown option " + (optopt != 0 ? std::string("-") + static_cast<char>(optopt)
                                                 : std::string(argv[optind - 1]));
            return false;
        }
    }
    if (cmd.bHelp || cmd.bVersion)
        return true;
    const int nRest = argc - optind;
    if (nRest == 0) {
        strError = "no DIRECTORY given";
        return false;
    }
    if (nRest > 1) {
        strError = "more than one DIRECTORY given";
        return false;
    }
    cmd.strDirectory = argv[optind];
    if (cmd.strDirectory.empty()) {
        strError = "the DIRECTORY is empty";
        return false;
    }
    return CheckCombinations(cmd, strError) &&
           CEntryFilter::Compile(cmd.filters, strError).has_value();
}

std::string UsageText() {
    return R"(Usage: kwl-list [OPTIONS] DIRECTORY
Print a listing of DIRECTORY: one line per subdirectory and file, in name order,
subdirectories first, each line shaped by a format line.

Options:
  -r, --recursive        scan and list subdirectories recursively
  -f, --format LINE      format line; default ")" +
           std::string(kDefaultFormat) + R"("
  -e, --export KIND      listing | text | html | json | html-app   (default: listing)
                           listing: the indented listing, tabs between columns
                           text:    no indentation, SEPARATOR between columns
                           html:    an HTML page whose table draws the tree
                           json:    the whole tree for programs: exact names, every
                                    field, times in UTC to the nanosecond; -f, -s
                                    and -l do not apply to it
                           html-app: one self-contained page to browse, sort and
                                    search the tree in a browser, also with millions
                                    of entries; -l chooses its language, -f and -s
                                    do not apply to it
  -s, --separator CHAR   column separator of the text export, one character (default ";"),
                           not the double quote; a field that holds the separator or a
                           double quote is quoted ("" for ")
      --bom              text export: start with the UTF-8 byte order mark (ignored
                           by the other kinds)
      --raw-fields       text export: write a field that begins with =, +, -, @, a tab
                           or a carriage return as it is, for programs. Without it such
                           a field (a formula to a spreadsheet) is quoted with a leading
                           ' inside the quotes ("'=1+1"), so that it stays text; a field
                           of one character ("-") is not
  -l, --language LANG    en | de, language of the heading words (default: en)
  -o, --output FILE      write to FILE instead of standard output; FILE is replaced
                           only once the whole output is written
  -j, --threads N        read directories on N threads (default: one per core, and
                           up to four per core while reads wait for the disk)
      --hash ALGO        sha256 | xxh128: the content hash of every regular file, in the
                           json export and for --compare (no other export takes it; a
                           file that cannot be read, or keeps changing while it is
                           read, is reported like a directory that cannot be read)
      --compare SNAPSHOT compare DIRECTORY with SNAPSHOT, a file that -e json wrote;
                           DIRECTORY may also be a second snapshot. It is scanned as the
                           snapshot was (recursive or not, its hash, its filters; give no
                           filter option). Prints one line per
                           difference (added, removed, changed, moved), the files and bytes
                           added and removed per top-level directory and the counts;
                           nothing when there is no difference. -e json: a JSON report
      --exclude PATTERN  leave out the entries that PATTERN matches (repeatable): a
                           pattern without "/" matches a name at any depth ("*.o",
                           ".git", "node_modules"), one with "/" the path below
                           DIRECTORY ("build/tmp", "/docs/*.pdf", "src/**/gen"); a
                           trailing "/" matches directories only ("build/"); *, ?,
                           [...] and [!...] never match "/", "**" matches whole
                           components, "\" escapes. An excluded directory is never
                           opened and nothing left out counts in a total
      --exclude-from FILE  the patterns of FILE, one a line; empty lines and lines
                           that begin with "#" are left out ("\#" for a "#")
      --ignore-case      patterns match ASCII letters in either case
      --no-hidden        leave out names that begin with "."
  -x, --one-file-system  list a directory on another file system as empty, unentered
      --max-depth N      list N levels (1: DIRECTORY's own entries, the least); implies
                           -r. Totals stay whole, as du has them (json: "totals" too)
      --progress         live count of entries read (and bytes hashed), on standard
                           error (terminals only)
  -h, --help             show this help
      --version          show the version

Format lines: columns separated by "|", elements of a column by "-".
  Fields:     )" +
           KeywordList() + R"(
  Text:       [text]  letters, digits, umlauts, ( ) : and space; \[ and \] for brackets
  A line that is not UTF-8 is read as Windows-1252, as older formats.def files hold it.
  Qualifier:  D-ELEMENT or F-ELEMENT applies the element to directories or files only
  Example:    "name|F-[(]-F-size-F-[ bytes)]|[\[]-crTime-[\]]"

Lines end in CR LF (json: LF). Control characters in names and in DIRECTORY are shown as "?".
Exit status: 0 success; 1 DIRECTORY cannot be read, a directory inside it could not be
read completely (listed as far as it was read, and named on standard error after the
listing), or the output cannot be written; 2 usage error or invalid format line.
With --compare, as diff has it: 0 no difference, 1 differences, 2 trouble (a snapshot
that cannot be read, a directory that could not be read completely, an output that
cannot be written).

Examples:
  kwl-list -r ~/projects
  kwl-list -r -e text -s , -f "name|F-size|modTime" ~/photos -o photos.txt
  kwl-list -r -e html -l de /srv/share -o share.html
  kwl-list -r -e json ~/archive -o archive.json
  kwl-list -r -e html-app -l de /srv/share -o share-browse.html
  kwl-list -r -e json --hash sha256 /srv/archive -o archive-2026-12.json
  kwl-list --compare archive-2026-12.json /srv/archive
  kwl-list -r --exclude .git --exclude node_modules --exclude 'build/' ~/src/app
  kwl-list --max-depth 2 --no-hidden -f "name|size" ~
)";
}
