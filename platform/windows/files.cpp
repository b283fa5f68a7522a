#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cwchar>

#include "platform/common/whole_io.h"
#include "platform/files.h"
#include "platform/windows/error_number.h"
#include "platform/windows/handle.h"
#include "platform/windows/wide_text.h"

namespace platform {

namespace {

int lastError()
{
    return errorNumber(GetLastError());
}

bool isLink(const std::wstring& path)
{
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && found.dwReserved0 == IO_REPARSE_TAG_SYMLINK;
}

// Closes a handle when it goes out of scope.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle()
    {
        if (valid()) {
            CloseHandle(handle_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// The system says only "not found" where a folder on the way is a file; POSIX systems say "not a
// directory", which callers tell apart from a file that is merely missing.
int missingOrNotDirectory(const std::wstring& path)
{
    std::wstring part = path;
    for (size_t end; (end = part.find_last_of(L"/\\")) != std::wstring::npos && end > 0;) {
        part.resize(end);
        if (part.back() == L':') {
            break;
        }
        const DWORD attributes = GetFileAttributesW(part.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            return attributes & FILE_ATTRIBUTE_DIRECTORY ? ENOENT : ENOTDIR;
        }
    }
    return ENOENT;
}

// Reads `file` from where it stands to its end into `bytes`, at most `limit` bytes: EFBIG,
// `bytes` empty, when there are more. 0, or why not.
int readHandle(HANDLE file, std::string& bytes, size_t limit)
{
    return readWhole(bytes, limit, [file](char* into, size_t count, int& failure) {
        DWORD got = 0;
        if (!ReadFile(file, into, static_cast<DWORD>(count), &got, nullptr)) {
            failure = lastError();
            return -1LL;
        }
        return static_cast<long long>(got);
    });
}

bool moveTo(HANDLE file, size_t at)
{
    LARGE_INTEGER where{};
    where.QuadPart = static_cast<LONGLONG>(at);
    return SetFilePointerEx(file, where, nullptr, FILE_BEGIN) != 0;
}

bool writeWhole(HANDLE file, std::string_view text)
{
    return moveTo(file, 0) && writeHandle(file, text) && moveTo(file, text.size()) && SetEndOfFile(file) &&
           FlushFileBuffers(file);
}

// Rewrites the file `target` with `text` in place, keeping it and so every name and its security.
// The file is first grown to the new length, so that a full disk fails before anything is
// overwritten; a write that fails later is undone with the old text.
int rewriteInPlace(const std::wstring& target, std::string_view text)
{
    const Handle file(CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return lastError();
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        return EINVAL;
    }
    std::string old;
    if (const int error = readHandle(file.get(), old, SIZE_MAX); error != 0) {
        return error;
    }
    if (text.size() > old.size() && !(moveTo(file.get(), text.size()) && SetEndOfFile(file.get()))) {
        const int error = lastError();
        if (moveTo(file.get(), old.size())) {
            SetEndOfFile(file.get());
        }
        return error;
    }
    if (writeWhole(file.get(), text)) {
        return 0;
    }
    const int error = lastError();
    writeWhole(file.get(), old);
    return error;
}

// Whether `path` names a file with more than one name.
bool hasOtherNames(const std::wstring& path)
{
    const Handle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    return file.valid() && GetFileInformationByHandle(file.get(), &info) && info.nNumberOfLinks > 1;
}

// Whether the process `pid` has ended: one that exists but may not be asked about still counts.
bool processGone(DWORD pid)
{
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) {
        return GetLastError() == ERROR_INVALID_PARAMETER;
    }
    DWORD code = 0;
    const bool ended = GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
    CloseHandle(process);
    return ended;
}

FileKind kindOfHandle(HANDLE handle)
{
    const DWORD type = GetFileType(handle);
    return type == FILE_TYPE_DISK   ? FileKind::Regular
           : type == FILE_TYPE_CHAR ? FileKind::CharacterDevice
           : type == FILE_TYPE_PIPE ? FileKind::Fifo
                                    : FileKind::Other;
}

FileIdentity identityOf(HANDLE handle)
{
    FileIdentity identity;
    identity.kind = kindOfHandle(handle);
    BY_HANDLE_FILE_INFORMATION info{};
    if (identity.kind == FileKind::Regular && GetFileInformationByHandle(handle, &info)) {
        identity.known = true;
        identity.kind = info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? FileKind::Directory : FileKind::Regular;
        identity.device = info.dwVolumeSerialNumber;
        identity.number = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    }
    return identity;
}

} // namespace

FileIdentity fileIdentity(const std::string& path)
{
    // Opened for no access at all, so that nothing waits and folders open too.
    const Handle file(CreateFileW(wideText(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.valid() ? identityOf(file.get()) : FileIdentity{};
}

FileIdentity descriptorIdentity(int fd)
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    return handle == INVALID_HANDLE_VALUE ? FileIdentity{} : identityOf(handle);
}

bool writeHandle(void* file, std::string_view data)
{
    while (!data.empty()) {
        const DWORD asked = data.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(data.size());
        DWORD written = 0;
        if (!WriteFile(file, data.data(), asked, &written, nullptr) || written == 0) {
            return false;
        }
        data.remove_prefix(written);
    }
    return true;
}

FileFacts fileFacts(const std::string& path)
{
    struct _stat64 info {};
    const std::wstring wide = wideText(path);
    if (_wstat64(wide.c_str(), &info) != 0) {
        return {FileKind::Missing, errno == ENOENT ? missingOrNotDirectory(wide) : errno};
    }
    const unsigned type = info.st_mode & _S_IFMT;
    return {type == _S_IFREG   ? FileKind::Regular
            : type == _S_IFDIR ? FileKind::Directory
            : type == _S_IFCHR ? FileKind::CharacterDevice
            : type == _S_IFIFO ? FileKind::Fifo
                               : FileKind::Other,
            0};
}

FileFacts linkFacts(const std::string& path)
{
    if (isLink(wideText(path))) {
        return {FileKind::Link, 0};
    }
    return fileFacts(path);
}

std::optional<std::string> linkText(const std::string& path)
{
    // The system resolves every link on the way at once: the path it gives is the final file's.
    const Handle file(CreateFileW(wideText(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) {
        return std::nullopt;
    }
    std::wstring target(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file.get(), target.data(), static_cast<DWORD>(target.size()), 0);
    if (length >= target.size()) {
        target.resize(length + 1);
        length = GetFinalPathNameByHandleW(file.get(), target.data(), static_cast<DWORD>(target.size()), 0);
    }
    if (length == 0 || length >= target.size()) {
        return std::nullopt;
    }
    target.resize(length);
    if (target.starts_with(L"\\\\?\\UNC\\")) {
        target = L"\\" + target.substr(7);
    } else if (target.starts_with(L"\\\\?\\")) {
        target.erase(0, 4);
    }
    return narrowText(target);
}

int readRegularFile(const std::string& path, std::string& bytes, FileKind& kind, size_t limit)
{
    const Handle file(CreateFileW(wideText(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return lastError();
    }
    kind = kindOfHandle(file.get());
    if (kind != FileKind::Regular) {
        return EINVAL;
    }
    return readHandle(file.get(), bytes, limit);
}

int makeDirectory(const std::string& path)
{
    return _wmkdir(wideText(path).c_str()) == 0 ? 0 : errno;
}

int replaceFile(const std::string& target, std::string_view text, std::string& failedPath)
{
    const std::string suffix = "." + std::to_string(GetCurrentProcessId());
    const std::string temporary = target + ".tmp" + suffix;
    const std::wstring wideTemporary = wideText(temporary);
    const std::wstring wideTarget = wideText(target);
    if (hasOtherNames(wideTarget)) {
        const int error = rewriteInPlace(wideTarget, text);
        failedPath = error == 0 ? std::string() : target;
        return error;
    }
    DeleteFileW(wideTemporary.c_str());
    {
        const Handle file(
            CreateFileW(wideTemporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) {
            failedPath = temporary;
            return lastError();
        }
        if (!writeHandle(file.get(), text) || !FlushFileBuffers(file.get())) {
            const int error = lastError();
            failedPath = target;
            DeleteFileW(wideTemporary.c_str());
            return error;
        }
    }
    failedPath = target;
    if (GetFileAttributesW(wideTarget.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (MoveFileExW(wideTemporary.c_str(), wideTarget.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return 0;
        }
        const int error = lastError();
        DeleteFileW(wideTemporary.c_str());
        return error;
    }
    // The replaced file's attributes, owner and permissions pass to the new one. With a backup
    // named, a failure part way leaves the old file under one of its two names: put back here.
    const std::wstring backup = wideText(target + ".old" + suffix);
    DeleteFileW(backup.c_str());
    if (ReplaceFileW(wideTarget.c_str(), wideTemporary.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr)) {
        DeleteFileW(backup.c_str());
        return 0;
    }
    const DWORD code = GetLastError();
    if (code == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        MoveFileExW(backup.c_str(), wideTarget.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    DeleteFileW(wideTemporary.c_str());
    return errorNumber(code);
}

FolderLock::FolderLock(const std::string& folder)
{
    // A folder cannot hold a byte-range lock: a hidden file in it stands for it.
    HANDLE file = CreateFileW(wideText(folder + "\\.volanko.lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error_ = lastError();
        return;
    }
    OVERLAPPED whole{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &whole)) {
        error_ = lastError();
        CloseHandle(file);
        return;
    }
    handle_ = reinterpret_cast<long long>(file);
}

FolderLock::~FolderLock()
{
    if (handle_ != -1) {
        // Closing the handle gives the lock up.
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
    }
}

int createFile(const std::string& path)
{
    return _wopen(wideText(path).c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT,
                  _S_IREAD | _S_IWRITE);
}

int openForWriting(const std::string& path, bool& made)
{
    // Made only where nothing is: never emptied, nor taken over between a look and the open.
    const std::wstring wide = wideText(path);
    const int fd =
        _wopen(wide.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    made = fd >= 0;
    if (fd >= 0 || errno != EEXIST) {
        return fd;
    }
    return _wopen(wide.c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT);
}

int emptyFile(int fd)
{
    return _chsize_s(fd, 0);
}

int removeFile(const std::string& path)
{
    return _wunlink(wideText(path).c_str()) == 0 ? 0 : errno;
}

int closeFile(int fd)
{
    return _close(fd) == 0 ? 0 : errno;
}

bool writeAll(int fd, std::string_view data)
{
    return writeWhole(data, [fd](const char* bytes, size_t count, int& failure) {
        const unsigned asked = count > 0x10000000 ? 0x10000000u : static_cast<unsigned>(count);
        const int written = _write(fd, bytes, asked);
        failure = errno;
        return static_cast<long long>(written);
    });
}

bool canRead(const std::string& path)
{
    return _waccess(wideText(path).c_str(), 4) == 0;
}

int writeAccess(const std::string& path)
{
    const std::wstring wide = wideText(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return lastError();
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        return EACCES;
    }
    // Opened for writing and closed untouched: the file's security says whether this user may.
    const Handle file(CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid() ? 0 : lastError();
}

void removeStaleTemporaries(const std::string& target)
{
    const size_t slash = target.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash);
    const std::wstring prefix = wideText((slash == std::string::npos ? target : target.substr(slash + 1)) + ".tmp.");
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(wideText(folder + "\\" + narrowText(prefix) + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::wstring_view name = found.cFileName;
        if (!name.starts_with(prefix) || name.size() == prefix.size() || name.size() - prefix.size() > 9 ||
            name.find_first_not_of(L"0123456789", prefix.size()) != std::wstring_view::npos ||
            (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
            continue;
        }
        if (processGone(static_cast<DWORD>(std::wcstoul(found.cFileName + prefix.size(), nullptr, 10)))) {
            DeleteFileW(wideText(folder + "\\" + narrowText(std::wstring(name))).c_str());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

} // namespace platform
