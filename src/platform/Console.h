#pragma once

#include <string>
#include <vector>

// What a command-line program needs of the system it runs on, done once at its start.

// The program's arguments as UTF-8, argv[0] included. On Windows they come from the UTF-16
// command line, so any name can be given; argv there holds the code page's lossy version.
std::vector<std::string> ProgramArguments(int argc, char** argv);
// Readies standard output and error for exact bytes: no line-end translation, UTF-8 on a
// console, terminal escapes understood.
void PrepareStandardStreams();
// True when descriptor nFd is a terminal (a console on Windows).
bool IsTerminal(int nFd);
