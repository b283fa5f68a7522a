#include <windows.h>

#include "platform/common/whole_io.h"
#include "platform/library.h"
#include "platform/library_file.h"
#include "platform/windows/wide_text.h"

namespace platform {

namespace {

// No dialog box for a missing dependency or a bad image: the reason goes to the caller instead.
class QuietErrors {
public:
    QuietErrors() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &old_); }
    ~QuietErrors() { SetThreadErrorMode(old_, nullptr); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    DWORD old_ = 0;
};

bool hasFolder(const std::string& path)
{
    return path.find_first_of("/\\") != std::string::npos;
}

} // namespace

Library openLibrary(const std::string& path, std::string& reason)
{
    const QuietErrors quiet;
    // With a folder in the path, the libraries it depends on are looked for beside it first, as
    // they are beside the plug-in.
    const DWORD flags = hasFolder(path) ? LOAD_WITH_ALTERED_SEARCH_PATH : 0;
    HMODULE library = LoadLibraryExW(wideText(path).c_str(), nullptr, flags);
    if (!library) {
        reason = systemMessage(GetLastError());
    }
    return library;
}

Library openedLibrary(const std::string& path)
{
    HMODULE library = nullptr;
    return GetModuleHandleExW(0, wideText(path).c_str(), &library) ? library : nullptr;
}

void* findSymbol(Library library, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void closeLibrary(Library library)
{
    FreeLibrary(static_cast<HMODULE>(library));
}

namespace {

// The file at `path` opened for reading once it is known to be a file on disk within the limit; an
// invalid handle when it cannot be opened, or with `problem` set when it is not such a file.
HANDLE openRegular(const std::string& path, std::string& problem, uint64_t& size)
{
    const std::wstring wide = wideText(path);
    // A folder opens only when asked for with backup semantics: it is told by its attributes.
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        problem = notRegularProblem("a directory");
        return INVALID_HANDLE_VALUE;
    }
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return file;
    }
    const DWORD type = GetFileType(file);
    LARGE_INTEGER length{};
    if (type != FILE_TYPE_DISK) {
        problem = notRegularProblem(type == FILE_TYPE_CHAR   ? "a character device"
                                    : type == FILE_TYPE_PIPE ? "a pipe"
                                                             : "of another kind");
    } else if (!GetFileSizeEx(file, &length)) {
        CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    } else if (static_cast<uint64_t>(length.QuadPart) > kLibraryByteLimit) {
        problem = tooLargeProblem();
    }
    if (!problem.empty()) {
        CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    size = static_cast<uint64_t>(length.QuadPart);
    return file;
}

} // namespace

LibraryRead readLibraryFile(const std::string& path, std::string& bytes)
{
    LibraryRead result;
    uint64_t size = 0;
    HANDLE file = openRegular(path, result.refusal, size);
    if (file == INVALID_HANDLE_VALUE) {
        return result;
    }
    bytes.clear();
    bytes.reserve(static_cast<size_t>(size));
    // The limit holds a file that grew beyond it while read.
    const int error = readWhole(bytes, kLibraryByteLimit, [file](char* into, size_t count, int& failure) {
        DWORD got = 0;
        if (!ReadFile(file, into, static_cast<DWORD>(count), &got, nullptr)) {
            failure = EIO;
            return -1LL;
        }
        return static_cast<long long>(got);
    });
    CloseHandle(file);
    return libraryReadOf(error);
}

std::string libraryFileProblem(const std::string& path)
{
    if (!hasFolder(path)) {
        return {};
    }
    std::string problem;
    uint64_t size = 0;
    HANDLE file = openRegular(path, problem, size);
    if (file == INVALID_HANDLE_VALUE) {
        return problem;
    }
    problem = sharedLibraryProblem(size, [file](uint64_t offset, void* into, size_t count) {
        auto* bytes = static_cast<char*>(into);
        while (count > 0) {
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(offset);
            at.OffsetHigh = static_cast<DWORD>(offset >> 32);
            DWORD got = 0;
            const DWORD asked = count > 0x10000000 ? 0x10000000 : static_cast<DWORD>(count);
            if (!ReadFile(file, bytes, asked, &got, &at) || got == 0) {
                return false;
            }
            bytes += got;
            offset += got;
            count -= got;
        }
        return true;
    });
    CloseHandle(file);
    return problem;
}

} // namespace platform
