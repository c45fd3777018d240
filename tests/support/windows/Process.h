#pragma once

#include <string>
#include <vector>

// Where a program started by RunProgram reads and writes.
struct SProgramFiles {
    std::string strOut;     // its standard output goes into this file
    std::string strErr;     // and its standard error into this one
    std::string strWorkDir; // where it runs; empty: here
};

// Runs strProgram with args through CreateProcessW (no shell: each argument arrives as it
// is), standard input empty. Returns its exit code, or -1 when it could not be run.
int RunProgram(const std::string& strProgram, const std::vector<std::string>& args,
               const SProgramFiles& files);

// Whether the tests run under Wine rather than on Windows itself.
bool UnderWine();

// The folder of the running test program.
std::string ThisProgramsFolder();
