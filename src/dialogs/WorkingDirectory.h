#pragma once

#include <string>

// The desktop program's step after a rebuild: the working directory becomes the parent of the
// chosen directory strPath, where the program has always left it. Only the program itself
// does this, on its own thread: the library never changes the working directory, which all
// threads of a process share. An empty path changes nothing; failures are not reported.
void ChangeToParentDirectory(const std::string& strPath);
