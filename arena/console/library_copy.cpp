#include "arena/console/library_copy.h"

#include "platform/library.h"
#include "platform/library_file.h"
#include "platform/paths.h"
#include "platform/private_copy.h"

namespace arena {

runtime::LoadResult loadPrivateCopy(runtime::Host& host, const std::string& path, const LoadTrial& trial)
{
    std::string bytes;
    // A file its headers already refuse is never opened: there is nothing to try.
    bool complete = true;
    const auto load = [&](const std::string& file) {
        if (trial && complete) {
            if (std::string problem = trial(file); !problem.empty()) {
                return runtime::LoadResult{0, runtime::LoadProblem::Trial, path, std::move(problem)};
            }
        }
        return host.load(file, file == path ? std::string() : path);
    };
    const platform::LibraryRead read = platform::readLibraryFile(path, bytes);
    if (!read.refusal.empty()) {
        return {0, runtime::LoadProblem::NotALibrary, path, read.refusal};
    }
    if (!read.read) {
        return load(path); // the loader tells why it cannot be opened
    }
    complete = platform::sharedLibraryProblem(bytes).empty();
    const std::string name = path.substr(path.find_last_of(platform::pathSeparators()) + 1);
    const platform::PrivateCopy copy(name, bytes);
    if (!copy.made()) {
        return load(path);
    }
    runtime::LoadResult loaded = load(copy.path());
    if (loaded.problem == runtime::LoadProblem::NotALibrary && complete) {
        return load(path);
    }
    return loaded;
}

} // namespace arena
