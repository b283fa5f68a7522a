#include "arena/console/config_file.h"

#include <cerrno>
#include <cstring>

#include "arena/common/concat.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace arena {

namespace {

using platform::FileKind;

enum class Disk { Missing, Read, Refused };

// A file of settings is a few hundred bytes: far beyond that it is not one, and reading it whole
// would cost its size in memory and a message for every line.
constexpr size_t kMaxBytes = 1 << 20;

// Problems of one kind shown before the rest are only counted.
constexpr size_t kShownProblems = 10;

void appendShown(std::vector<std::string>& messages, const std::vector<std::string>& problems, const std::string& path)
{
    for (size_t i = 0; i < problems.size() && i < kShownProblems; ++i) {
        messages.push_back(problems[i]);
    }
    if (problems.size() > kShownProblems) {
        messages.push_back(concat(path, ": ... and ", std::to_string(problems.size() - kShownProblems), " more"));
    }
}

std::string directoryOf(const std::string& path)
{
    const size_t slash = path.find_last_of(platform::pathSeparators());
    return slash == std::string::npos ? std::string(".") : slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

bool isRoot(const std::string& part)
{
    return part.size() == 1 && platform::pathSeparators().find(part.front()) != std::string_view::npos;
}

// Why `path` cannot be reached: names the part of it that is a file where a directory must be.
std::string unreachable(const std::string& path, int error)
{
    if (error == ENOTDIR) {
        for (std::string part = directoryOf(path); !isRoot(part) && part != "."; part = directoryOf(part)) {
            if (const platform::FileFacts facts = platform::fileFacts(part); facts.error == 0) {
                return facts.kind == FileKind::Directory ? concat(path, ": ", std::strerror(error))
                                                         : concat(path, ": ", part, " is not a directory");
            }
        }
    }
    return concat(path, ": ", std::strerror(error));
}

// Reads `path` when it is a regular file (checked before opening, so a FIFO cannot block and a
// device is never touched).
Disk readRegular(const std::string& path, std::string& bytes, std::string& error)
{
    const platform::FileFacts facts = platform::fileFacts(path);
    if (facts.error != 0) {
        if (facts.error == ENOENT) {
            return Disk::Missing;
        }
        error = unreachable(path, facts.error);
        return Disk::Refused;
    }
    if (facts.kind != FileKind::Regular) {
        error = concat(path, " is ", platform::fileKindName(facts.kind), "; the configuration must be a regular file");
        return Disk::Refused;
    }
    FileKind opened = FileKind::Regular;
    if (const int failed = platform::readRegularFile(path, bytes, opened, kMaxBytes); failed != 0) {
        error = opened != FileKind::Regular
                    ? concat(path, " is ", platform::fileKindName(opened), "; the configuration must be a regular file")
                : failed == EFBIG
                    ? concat(path, " is over ", std::to_string(kMaxBytes), " bytes, too large for a configuration")
                    : concat("cannot read ", unreachable(path, failed));
        return Disk::Refused;
    }
    return Disk::Read;
}

// The file a write to `path` must replace: symbolic links followed, the last one possibly dangling.
bool writeTarget(std::string path, std::string& target, std::string& error)
{
    for (int hops = 0; hops < 40; ++hops) {
        const platform::FileFacts facts = platform::linkFacts(path);
        if (facts.error != 0) {
            if (facts.error != ENOENT) {
                error = unreachable(path, facts.error);
                return false;
            }
            target = path;
            return true;
        }
        if (facts.kind != FileKind::Link) {
            target = path;
            return true;
        }
        const std::optional<std::string> link = platform::linkText(path);
        if (!link) {
            error = concat("cannot follow the link ", path);
            return false;
        }
        path = platform::isAbsolutePath(*link)
                   ? *link
                   : concat(directoryOf(path), std::string(1, platform::pathSeparator()), *link);
    }
    error = concat(path, ": too many levels of symbolic links");
    return false;
}

// Makes every missing directory on the way to `dir`.
bool makeDirectories(const std::string& dir, std::string& error)
{
    if (const platform::FileFacts facts = platform::fileFacts(dir); facts.error == 0) {
        if (facts.kind != FileKind::Directory) {
            error = concat("cannot save in ", dir, ": it is not a directory");
        }
        return error.empty();
    }
    if (const std::string parent = directoryOf(dir); parent != dir && !makeDirectories(parent, error)) {
        return false;
    }
    if (const int failed = platform::makeDirectory(dir); failed != 0 && failed != EEXIST) {
        error = concat("cannot make the directory ", dir, ": ", std::strerror(failed));
        return false;
    }
    return true;
}

} // namespace

std::string defaultConfigPath(std::string_view folder)
{
    return platform::userConfigFile(folder, "arena.cfg");
}

void applyConfig(const runtime::Console& console, const VariableSetter& set, const std::string& path,
                 const std::vector<ConfigEntry>& entries, std::vector<std::string>& problems)
{
    for (const ConfigEntry& entry : entries) {
        const runtime::CVar* cvar = console.find(entry.name);
        if (!cvar || !cvar->save) {
            continue;
        }
        if (const std::string refusal = set(entry.name, entry.value); !refusal.empty()) {
            problems.push_back(concat(path, ":", std::to_string(entry.line), ": ", refusal));
        }
    }
}

void ConfigFile::load(const runtime::Console& console, const VariableSetter& set, std::vector<std::string>& messages)
{
    std::string bytes;
    std::string error;
    const Disk read = readRegular(path_, bytes, error);
    if (read == Disk::Refused) {
        refusal_ = error;
        messages.push_back(concat("arena: ", error, "; it will not be saved"));
    } else if (read == Disk::Read) {
        const ConfigText text = parseConfig(bytes);
        std::vector<std::string> problems;
        for (const std::string& problem : text.problems) {
            problems.push_back(concat(path_, ":", problem));
        }
        appendShown(messages, problems, path_);
        if (!text.problems.empty()) {
            refusal_ = concat(path_, " has lines that are neither settings, comments nor blank");
            messages.push_back(concat("arena: will not save into ", path_,
                                      ": it has lines that are neither settings, comments nor blank"));
        }
        problems.clear();
        applyConfig(console, set, path_, configEntries(text), problems);
        appendShown(messages, problems, path_);
    }
    for (const runtime::CVar& cvar : console.cvars) {
        if (cvar.save) {
            start_[cvar.name] = cvar.value;
        }
    }
}

bool ConfigFile::save(const runtime::Console& console, std::vector<std::string>& messages) const
{
    std::vector<ConfigEntry> changes;
    std::string names;
    for (const runtime::CVar& cvar : console.cvars) {
        const auto start = start_.find(cvar.name);
        if (cvar.save && cvar.value != (start == start_.end() ? cvar.defaultValue : start->second)) {
            changes.push_back({cvar.name, cvar.value, 0});
            names += concat(names.empty() ? "" : ", ", cvar.name);
        }
    }
    if (changes.empty()) {
        return true;
    }
    const auto refuse = [&](const std::string& why) {
        messages.push_back(concat("arena: not saved (", why, "); changed this session: ", names));
        return false;
    };
    if (!refusal_.empty()) {
        return refuse(refusal_);
    }
    std::string target;
    std::string error;
    if (!writeTarget(path_, target, error) || !makeDirectories(directoryOf(target), error)) {
        return refuse(error);
    }
    // Another arena saving at the same time waits here, then merges into what this one wrote.
    const platform::FolderLock lock(directoryOf(target));
    if (lock.error() != 0) {
        return refuse(concat("cannot lock ", directoryOf(target), ": ", std::strerror(lock.error())));
    }
    // What a save killed part way left; under the lock no other save is under way.
    platform::removeStaleTemporaries(target);
    std::string bytes;
    const Disk read = readRegular(target, bytes, error);
    const ConfigText text = parseConfig(read == Disk::Read ? bytes : std::string());
    std::vector<std::string> skipped;
    const std::string merged = renderConfig(text, changes, skipped);
    bool saved = true;
    std::string failedPath;
    if (read == Disk::Refused) {
        saved = refuse(error);
    } else if (!text.problems.empty()) {
        saved = refuse(concat(target, " now has lines that are neither settings, comments nor blank"));
    } else if (merged != bytes) {
        // The folder may let anyone replace the file; the file says whether this user may change it.
        if (const int denied = read == Disk::Read ? platform::writeAccess(target) : 0; denied != 0) {
            saved = refuse(concat("cannot write ", target, ": ", std::strerror(denied)));
        } else if (const int failed = platform::replaceFile(target, merged, failedPath); failed != 0) {
            saved = refuse(concat("cannot write ", failedPath, ": ", std::strerror(failed)));
        }
    }
    if (saved && !skipped.empty()) {
        std::string list;
        for (const std::string& name : skipped) {
            list += concat(list.empty() ? "" : ", ", name);
        }
        messages.push_back(
            concat("arena: left out of ", target, " (a value with a quote or a line break cannot be written): ", list));
    }
    return saved;
}

} // namespace arena
