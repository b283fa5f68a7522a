#pragma once
// Files as the arena keeps them: what a path names, whole reads and writes, folders made, a file
// replaced so that it is always either the old one or the new one, and a lock between processes
// that save into one folder. Paths are UTF-8; a failure is an errno value (std::strerror words it).
//
// POSIX: rename over the old file, flock on the folder's lock file, fsync before the rename.
// Windows: ReplaceFileW (the old file stays whole if it fails), else MoveFileExW; LockFileEx.
// Not provided: file modes or owners beyond what a regular file is, and locks across machines.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class FileKind { Missing, Regular, Directory, CharacterDevice, BlockDevice, Fifo, Socket, Link, Other };

// What a file of `kind` is, for a message: "a FIFO", "a directory"; "not a regular file" for the rest.
inline const char* fileKindName(FileKind kind)
{
    return kind == FileKind::Directory         ? "a directory"
           : kind == FileKind::CharacterDevice ? "a character device"
           : kind == FileKind::BlockDevice     ? "a block device"
           : kind == FileKind::Fifo            ? "a FIFO"
           : kind == FileKind::Socket          ? "a socket"
                                               : "not a regular file";
}

struct FileFacts {
    FileKind kind = FileKind::Missing;
    int error = 0; // why `path` could not be asked about (ENOENT when it does not exist); 0 when it could
};

// What `path` names, symbolic links followed.
FileFacts fileFacts(const std::string& path);

// What `path` itself is: a symbolic link is a Link.
FileFacts linkFacts(const std::string& path);

// The path the symbolic link `path` holds (relative to the link's folder unless absolute); nothing
// when it cannot be read.
std::optional<std::string> linkText(const std::string& path);

// Which file a name or an open descriptor leads to, so that two names of one file (links, "./",
// hard links) are known as one: the device and the inode on POSIX systems, the volume's serial
// number and the file index on Windows.
struct FileIdentity {
    bool known = false; // false: nothing is there, or the system cannot say which file it is
    FileKind kind = FileKind::Missing;
    uint64_t device = 0;
    uint64_t number = 0;

    bool same(const FileIdentity& other) const
    {
        return known && other.known && device == other.device && number == other.number;
    }
};

// The file `path` leads to, symbolic links followed.
FileIdentity fileIdentity(const std::string& path);

// The file open as `fd` (0: standard input).
FileIdentity descriptorIdentity(int fd);

// Reads the whole of `path` into `bytes`, which it replaces. Never waits for a FIFO's writer nor
// opens a terminal; `kind` becomes what the opened file is when that is not a regular file, and
// then nothing is read. A file of more than `limit` bytes is not read past them: EFBIG, `bytes`
// empty. 0, or why it could not be opened or read.
int readRegularFile(const std::string& path, std::string& bytes, FileKind& kind, size_t limit = SIZE_MAX);

// Makes the folder `path`, whose parent exists. 0, or why not (EEXIST when something is there).
int makeDirectory(const std::string& path);

// Replaces the regular file `target` (or makes it) by `text` through a temporary file beside it,
// `target`.tmp.PID: the old file stays whole until the new one is complete on disk, then one step
// swaps them. The replaced file's owner and permissions are kept. A swap would part a file with
// more than one name (hard links) from its other names, or give it to this user when its owner
// cannot be given back: such a file is rewritten in place instead, the room for the new text
// taken first and the old text written back when the write fails. 0, or why not, with
// `failedPath` the file that could not be written (the temporary one or `target`).
int replaceFile(const std::string& target, std::string_view text, std::string& failedPath);

// Whether this user may change the existing file `path`: 0, or why not. A file with no write
// permission at all (on Windows, the read-only attribute) counts as read-only even for an
// administrator, who could otherwise write anything.
int writeAccess(const std::string& path);

// Removes the temporary files that replaceFile made beside `target` in processes that no longer
// exist (ended while they saved); those of running processes stay. For a caller that holds the
// folder's lock.
void removeStaleTemporaries(const std::string& target);

// Holds the lock that processes saving into `folder` take in turn, waiting for it when another
// holds it, until destroyed.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    int error() const { return error_; } // 0 when held; why not otherwise

private:
    long long handle_ = -1; // the system's handle of what is locked; -1 when none
    int error_ = 0;
};

// A descriptor for writing to `path`, made or emptied; -1 with errno set when it cannot be.
int createFile(const std::string& path);

// A descriptor for writing to `path` that leaves what is there as it is: a missing file is made
// (`made` true), an existing one opened without emptying it. -1 with errno set when neither can be.
int openForWriting(const std::string& path, bool& made);

// Cuts the regular file open as `fd` to nothing. 0, or why not.
int emptyFile(int fd);

// Removes the file `path`. 0, or why not.
int removeFile(const std::string& path);

// Closes `fd`. 0, or why the data written could not be kept.
int closeFile(int fd);

// Writes all of `data` to `fd`, again after a short or interrupted write. False on an error, with
// errno set.
bool writeAll(int fd, std::string_view data);

// True when this process may read `path`.
bool canRead(const std::string& path);

} // namespace platform
