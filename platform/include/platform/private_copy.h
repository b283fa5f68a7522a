#pragma once
// A private copy of a library file for the system to load instead of the file itself, so that
// the file can be rewritten, truncated or removed while the library stays loaded.
//
// POSIX: an anonymous memfd, gone with the process. Windows: a temporary DLL in the user's
// temporary folder, deleted after the library is unloaded. Not provided: sharing one copy between
// processes.

#include <string>
#include <string_view>

namespace platform {

class PrivateCopy {
public:
    // Copies `bytes`, the content of the library file `name` (its name only, without folders).
    // The copy lives in memory where the system can load from there (Linux), else in the user's
    // temporary folder.
    PrivateCopy(std::string_view name, std::string_view bytes);
    // The copy stays for as long as a library loaded from it stays loaded; a temporary file goes
    // once it is no longer loaded, at the latest when the program ends.
    ~PrivateCopy();
    PrivateCopy(const PrivateCopy&) = delete;
    PrivateCopy& operator=(const PrivateCopy&) = delete;

    bool made() const { return !path_.empty(); }

    // Where to load the copy from, while the object lives; empty when no copy could be made.
    const std::string& path() const { return path_; }

private:
    std::string path_;
    [[maybe_unused]] int fd_ = -1; // POSIX only: the memory file holding the copy; -1 when it is none
};

} // namespace platform
