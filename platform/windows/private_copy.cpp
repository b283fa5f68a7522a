#include <windows.h>

#include <mutex>
#include <vector>

#include "platform/private_copy.h"
#include "platform/windows/handle.h"
#include "platform/windows/wide_text.h"

namespace platform {

namespace {

// Copies that were still loaded when their owners ended: the system refuses to remove a loaded
// library's file, so each is tried again with each new copy and when the program ends.
class LeftCopies {
public:
    ~LeftCopies() { removeUnloaded(); }

    void add(std::wstring path)
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        paths_.push_back(std::move(path));
    }

    void removeUnloaded()
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        std::erase_if(paths_, [](const std::wstring& path) {
            return DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
        });
    }

private:
    std::mutex mutex_;
    std::vector<std::wstring> paths_;
};

LeftCopies& leftCopies()
{
    static LeftCopies copies;
    return copies;
}

std::wstring temporaryFolder()
{
    std::wstring folder(MAX_PATH + 1, L'\0');
    const DWORD length = GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
    if (length == 0 || length >= folder.size()) {
        return {};
    }
    folder.resize(length);
    return folder;
}

} // namespace

PrivateCopy::PrivateCopy(std::string_view name, std::string_view bytes)
{
    leftCopies().removeUnloaded();
    const std::wstring folder = temporaryFolder();
    if (folder.empty()) {
        return;
    }
    static unsigned counter = 0;
    const std::wstring path = folder + L"volanko-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++counter) + L"-" + wideText(std::string(name));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    const bool written = writeHandle(file, bytes);
    CloseHandle(file);
    if (!written) {
        DeleteFileW(path.c_str());
        return;
    }
    path_ = narrowText(path);
}

PrivateCopy::~PrivateCopy()
{
    if (made()) {
        const std::wstring path = wideText(path_);
        if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
            leftCopies().add(path);
        }
    }
}

} // namespace platform
