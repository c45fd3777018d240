#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "snapshot/Snapshot.h"

// Why a snapshot could not be read.
enum class ESnapshotProblem {
    CannotOpen,    // the file cannot be opened or read (nErrno says why)
    NotJson,       // not valid JSON at nOffset
    Truncated,     // the document ends before it is complete
    InvalidUtf8,   // a string that is not UTF-8
    NotKwlTree,    // JSON, but not a kwl_tree document
    OtherVersion,  // a kwl_tree document of a layout this program does not read
    BadValue,      // strDetail has a value of the wrong kind or form
    MissingField,  // strDetail is missing
    DuplicateName, // strDetail occurs twice in one directory
    BadName,       // strDetail is not one name: empty, "." or "..", or with "/" or NUL
    OutOfRange,    // strDetail is a number out of range
    PathOutside,   // an error records strDetail, which is not in the tree
    TooLarge,      // more entries than this program holds
};

struct SSnapshotError {
    ESnapshotProblem eProblem = ESnapshotProblem::NotJson;
    std::uint64_t nOffset = 0; // byte in the file where it went wrong
    std::string strDetail;     // a field name, a name or a path, exact
    int nErrno = 0;
};

// Reads the document that kwl-list -e json wrote (any JSON layout of it: the order of fields,
// spacing and unknown fields do not matter) as it streams from the file, without holding the
// text. False with the reason when it is not a readable kwl_tree document of this version.
bool ReadSnapshotFile(const std::string& strPath, CSnapshot& snapshot, SSnapshotError& error);
// The same for a document held in memory.
bool ReadSnapshotText(std::string_view strText, CSnapshot& snapshot, SSnapshotError& error);
