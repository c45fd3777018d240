#pragma once

#include <string>

// Replaces a file without ever leaving it half written: the new content goes into a temporary
// file in the target's folder, which is synced and renamed over the target only once every
// byte and the close have succeeded. On failure (or when the object goes without Commit) the
// temporary file is removed and the target stays as it was.
//
// The target is resolved by Resolve, which may run long before the writing: the folder is held
// open, so a later change of the working directory cannot move a relative target, and a target
// that cannot be written fails there already. A symbolic link is followed, so the file it
// points to is replaced, not the link. An existing target keeps its permissions (and, where
// the caller may set it, its owner); one the caller may not write to is refused. A target that
// exists but is not a regular file (a device, a pipe, /dev/stdout) is written directly: it
// cannot be replaced, and a rename over it would destroy it.
//
// A signal that ends the process (Ctrl+C, a hang-up, a kill with SIGTERM) removes the temporary
// file first. On Windows the target is held by its full path, the temporary file is flushed and
// put in place with ReplaceFileW (MoveFileExW for a new target), and Ctrl+C removes it first.
//
// All functions return false on failure with errno telling why.
class CAtomicFile {
public:
    CAtomicFile() = default;
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Resolves strPath and checks that it can be written. Fails when the path names a
    // directory, its folder does not exist or is not writable, or the existing file is not.
    bool Resolve(const std::string& strPath);
    // Creates the temporary file (or opens the device or pipe). Needs a successful Resolve.
    bool Create();
    // Resolve and Create in one.
    bool Open(const std::string& strPath);
    // Descriptor to write the new content to, -1 before Create.
    int GetFd() const { return m_nFd; }
    // Syncs and closes the temporary file and renames it over the target.
    bool Commit();
    // Drops what was written; the target stays as it was. Leaves errno alone.
    void Discard();

private:
    bool FollowLinks();
    bool CheckWritable();
    bool CreateTemporary();
    void CloseFolder();

    int m_nDirFd = -1;      // the target's folder (O_PATH)
    std::string m_strName;  // the target's name in it, links followed
    std::string m_strTemp;  // the temporary file's name in it; empty when there is none
    int m_nFd = -1;         // the temporary file, or the device or pipe
    bool m_bDirect = false; // write into the target itself (not a regular file)
    bool m_bExists = false; // the target is an existing regular file
};
