// Fuzz target: the input is one format line. It is validated and both sample nodes are
// rendered at several depths; the results are compared with a straightforward model of the
// format language written from the grammar, and general invariants are checked. Any
// mismatch traps, so libFuzzer keeps the input.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "format/KWLFormat.h"

namespace {

// A separator that neither names, text elements nor times can produce, so it can be counted.
constexpr std::string_view kSeparator = "\x1F";

enum class EKind { File, Dir };

// What the sample nodes render for each keyword (times in UTC); empty: not defined for the kind.
struct SKeywordText {
    std::string_view strKeyword;
    std::string_view strFile;
    std::string_view strDir;
};
constexpr SKeywordText kKeywordTexts[] = {
    {"name", "Name.ext", "Name"},
    {"size", "4321", "54321"},
    {"crTime", "05.03.2002, 14:07:09", "31.12.1999, 23:59:59"},
    {"accTime", "01.01.2100, 00:00:00", {}},
    {"modTime", "19.01.2038, 03:14:08", {}},
    {"arch", "A", {}},
    {"hid", "-", {}},
    {"sys", "-", {}},
    {"compr", "-", {}},
    {"ro", "-", {}},
    {"files", {}, "123"},
};

const SKeywordText* FindKeyword(std::string_view str) {
    for (const SKeywordText& kw : kKeywordTexts)
        if (kw.strKeyword == str)
            return &kw;
    return nullptr;
}

std::vector<std::string_view> SplitAll(std::string_view str, char cSep) {
    std::vector<std::string_view> parts;
    std::size_t nStart = 0;
    for (std::size_t i = 0; i <= str.size(); ++i) {
        if (i == str.size() || str[i] == cSep) {
            parts.push_back(str.substr(nStart, i - nStart));
            nStart = i + 1;
        }
    }
    return parts;
}

// Text element: brackets around allowed characters, umlauts as UTF-8, and the two escapes.
bool ModelIsText(std::string_view str) {
    if (str.size() < 2 || str.front() != '[' || str.back() != ']')
        return false;
    const std::string_view inner = str.substr(1, str.size() - 2);
    static constexpr std::string_view kUmlauts[] = {"\xC3\xA4", "\xC3\xB6", "\xC3\xBC",
                                                    "\xC3\x84", "\xC3\x96", "\xC3\x9C"};
    std::size_t j = 0;
    while (j < inner.size()) {
        const char c = inner[j];
        if (c == '\\') {
            if (j + 1 >= inner.size() || (inner[j + 1] != '[' && inner[j + 1] != ']'))
                return false;
            j += 2;
            continue;
        }
        bool bUmlaut = false;
        for (std::string_view u : kUmlauts)
            if (inner.substr(j, 2) == u)
                bUmlaut = true;
        if (bUmlaut) {
            j += 2;
            continue;
        }
        const bool bPlain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                            (c >= '0' && c <= '9') || c == '(' || c == ')' || c == ' ' || c == ':';
        if (!bPlain)
            return false;
        ++j;
    }
    return true;
}

bool ModelIsElement(std::string_view str) {
    return FindKeyword(str) != nullptr || ModelIsText(str);
}

// The accepted elements per kind, column by column; columns without elements are left out.
struct SModel {
    bool bValid = true;
    std::vector<std::vector<std::string_view>> fileColumns;
    std::vector<std::vector<std::string_view>> dirColumns;
};

SModel ModelValidate(std::string_view line) {
    SModel model;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' &&
            (i + 1 == line.size() || (line[i + 1] != '[' && line[i + 1] != ']'))) {
            model.bValid = false;
            return model;
        }
    }
    // A leading "|" is not a column break: the line is then a single (bad) column.
    const std::vector<std::string_view> columns =
        !line.empty() && line[0] == '|' ? std::vector<std::string_view>{line} : SplitAll(line, '|');
    for (std::string_view column : columns) {
        std::vector<std::string_view> fileElems, dirElems;
        const std::vector<std::string_view> pieces =
            column.empty() ? std::vector<std::string_view>{} : SplitAll(column, '-');
        for (std::size_t i = 0; i < pieces.size() && model.bValid; ++i) {
            bool bFile = true, bDir = true;
            if (i + 1 < pieces.size() && (pieces[i] == "D" || pieces[i] == "F")) {
                bFile = pieces[i] == "F";
                bDir = pieces[i] == "D";
                ++i;
            }
            if (!ModelIsElement(pieces[i])) {
                model.bValid = false;
                break;
            }
            if (bFile)
                fileElems.push_back(pieces[i]);
            if (bDir)
                dirElems.push_back(pieces[i]);
        }
        if (!fileElems.empty())
            model.fileColumns.push_back(std::move(fileElems));
        if (!dirElems.empty())
            model.dirColumns.push_back(std::move(dirElems));
        if (!model.bValid)
            break;
    }
    return model;
}

std::string ModelCompiled(const std::vector<std::vector<std::string_view>>& columns) {
    std::string str;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (c > 0)
            str += '|';
        for (std::string_view e : columns[c])
            str += e;
    }
    return str;
}

std::string ModelRender(const std::vector<std::vector<std::string_view>>& columns, EKind eKind,
                        bool& bUndefined) {
    std::string str;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (c > 0)
            str += kSeparator;
        for (std::string_view e : columns[c]) {
            if (e.front() == '[') {
                for (char ch : e.substr(1, e.size() - 2))
                    if (ch != '\\')
                        str += ch;
                continue;
            }
            const SKeywordText* kw = FindKeyword(e);
            const std::string_view text = eKind == EKind::File ? kw->strFile : kw->strDir;
            if (text.empty())
                bUndefined = true;
            str += text;
        }
    }
    return str;
}

// Never starts or ends with "|", no "||", and one column more than it has "|".
void CheckCompiled(const std::string& str, int nColumns) {
    if (str.empty()) {
        KWL_CHECK(nColumns == 0);
        return;
    }
    KWL_CHECK(str.front() != '|' && str.back() != '|');
    KWL_CHECK(str.find("||") == std::string::npos);
    int nBars = 0;
    for (char c : str)
        nBars += c == '|';
    KWL_CHECK(nColumns == nBars + 1);
}

std::size_t Count(std::string_view str, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t p = str.find(what); p != std::string_view::npos; p = str.find(what, p + 1))
        ++n;
    return n;
}

struct SSamples {
    CDirInformation dir;
    CFileInformation file;
    SSamples() {
        dir.Set("Name", CTime(946684799), 54321, 123);
        file.Set(4321, "Name.ext", false, false, false, false, true, CTime(1015337229),
                 CTime(4102444800), CTime(2147483648));
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("TZ", "UTC", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    static const SSamples samples;
    const std::string line(reinterpret_cast<const char*>(pData), nSize);

    CKWLFormat format;
    const bool bValid = format.Validate(line);

    CheckCompiled(format.GetFileFormat(), format.GetFileColumns());
    CheckCompiled(format.GetDirFormat(), format.GetDirColumns());

    const SModel model = ModelValidate(line);
    KWL_CHECK(bValid == model.bValid);
    KWL_CHECK(format.GetFileFormat() == ModelCompiled(model.fileColumns));
    KWL_CHECK(format.GetDirFormat() == ModelCompiled(model.dirColumns));
    KWL_CHECK(format.GetFileColumns() == static_cast<int>(model.fileColumns.size()));
    KWL_CHECK(format.GetDirColumns() == static_cast<int>(model.dirColumns.size()));

    const bool bHasOpen = line.find("\\[") != std::string::npos;
    const bool bHasClose = line.find("\\]") != std::string::npos;
    for (EKind eKind : {EKind::File, EKind::Dir}) {
        const CKWLItem* pItem =
            eKind == EKind::File ? static_cast<const CKWLItem*>(&samples.file) : &samples.dir;
        const auto& columns = eKind == EKind::File ? model.fileColumns : model.dirColumns;
        bool bUndefined = false;
        const std::string strExpected = ModelRender(columns, eKind, bUndefined);

        const SRenderedText rendered = format.Render(pItem, 0, kSeparator);
        const std::string& strLine = rendered.strText;
        KWL_CHECK(strLine == strExpected);
        KWL_CHECK(rendered.bUndefinedField == bUndefined);

        // Escapes are gone and column breaks became separators; brackets come only from escapes.
        KWL_CHECK(strLine.find('\\') == std::string::npos);
        KWL_CHECK(strLine.find('|') == std::string::npos);
        KWL_CHECK(bHasOpen || strLine.find('[') == std::string::npos);
        KWL_CHECK(bHasClose || strLine.find(']') == std::string::npos);
        const int nColumns =
            eKind == EKind::File ? format.GetFileColumns() : format.GetDirColumns();
        KWL_CHECK(Count(strLine, kSeparator) ==
                  static_cast<std::size_t>(nColumns > 0 ? nColumns - 1 : 0));

        for (int nDepth : {1, 9, 10, 19, 25}) {
            const std::string strIndent(2 * static_cast<std::size_t>(nDepth), ' ');
            KWL_CHECK(format.GetIndent(nDepth) == strIndent);
            KWL_CHECK(format.Render(pItem, nDepth, kSeparator).strText == strIndent + strLine);
        }
        std::string strOut = "x";
        KWL_CHECK(format.RenderInto(pItem, 2, strOut, kSeparator).bUndefinedField == bUndefined);
        KWL_CHECK(strOut == "x    " + strLine);

        // Rendered with the default tab instead, the line has tabs in the separator's place.
        std::string strTabbed = format.Render(pItem, 0).strText;
        for (char& c : strTabbed)
            if (c == '\t')
                c = kSeparator[0];
        KWL_CHECK(strTabbed == strLine);
    }
    return 0;
}
