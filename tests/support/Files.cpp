#include "support/Files.h"

#include <fstream>
#include <iterator>

#include "support/Paths.h"

std::string ReadFile(const std::string& strPath) {
    std::ifstream in(FsPath(strPath), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFile(const std::string& strPath, const std::string& strBytes) {
    std::ofstream out(FsPath(strPath), std::ios::binary | std::ios::trunc);
    out << strBytes;
    out.close();
    return out.good();
}

std::string WithCrLf(const std::string& strText) {
    std::string strOut;
    strOut.reserve(strText.size());
    for (char ch : strText) {
        if (ch == '\n')
            strOut += '\r';
        strOut += ch;
    }
    return strOut;
}
