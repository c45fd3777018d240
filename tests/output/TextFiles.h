#pragma once

#include <fstream>
#include <iterator>
#include <string>

// The whole content of a file, bytes as stored.
inline std::string ReadFile(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The plain rule the exports' files follow: every LF becomes CR LF, nothing else changes.
inline std::string WithCrLf(const std::string& strText) {
    std::string strOut;
    for (char ch : strText) {
        if (ch == '\n')
            strOut += '\r';
        strOut += ch;
    }
    return strOut;
}
