#include <windows.h>

#include "library.h"
#include "library_file.h"
#include "wide_text.h"

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

std::string libraryFileProblem(const std::string& path)
{
    if (!hasFolder(path)) {
        return {};
    }
    HANDLE file = CreateFileW(wideText(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string problem;
    LARGE_INTEGER size{};
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size)) {
        problem = sharedLibraryProblem(
            static_cast<uint64_t>(size.QuadPart), [file](uint64_t offset, void* into, size_t count) {
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
    }
    CloseHandle(file);
    return problem;
}

} // namespace platform
