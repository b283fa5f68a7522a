// The library check reads the record and symbols only: a library that fails it is never asked to
// create anything.

#include <utility>
#include <vector>

#include "arena/validate/checks.h"
#include "bakkesmod/plugin/bakkesmodplugin.h"
#include "platform/library.h"
#include "runtime/plugin_record.h"

namespace arena::validate {

namespace {

// The validator lists every reason the record is refused, naming the fields as the SDK does.
std::string wording(const runtime::RecordProblem& problem)
{
    const std::string field = problem.field;
    switch (problem.kind) {
    case runtime::RecordProblem::Kind::WrongVersion:
        return "\"exports\" has hostApiVersion " + std::to_string(problem.version) + ", the host needs " +
               std::to_string(BAKKESMOD_PLUGIN_API_VERSION);
    case runtime::RecordProblem::Kind::EmptyText: return "\"exports\" " + field + " is empty";
    case runtime::RecordProblem::Kind::NullText:
    case runtime::RecordProblem::Kind::NullFunction: return "\"exports\" " + field + " is null";
    case runtime::RecordProblem::Kind::NotExported: break;
    }
    return "\"exports\" " + field + " is not the exported " + problem.exportedName;
}

using BakkesMod::Plugin::PluginDescriptor;

std::optional<std::string> inspect(const std::string& path)
{
    // A truncated library would map, then fault when a page past its end is touched.
    if (const std::string problem = platform::libraryFileProblem(path); !problem.empty()) {
        return "cannot be opened as a library: " + problem;
    }
    std::string reason;
    platform::Library library = platform::openLibrary(path, reason);
    if (!library) {
        return "cannot be opened as a library: " + reason;
    }
    const auto* record = static_cast<const PluginDescriptor*>(platform::findSymbol(library, BAKKESMOD_EXPORTS_SYMBOL));
    void* create = platform::findSymbol(library, BAKKESMOD_CREATE_SYMBOL);
    void* destroy = platform::findSymbol(library, BAKKESMOD_DESTROY_SYMBOL);
    std::string missing;
    for (const auto& [name, found] : {std::pair{BAKKESMOD_EXPORTS_SYMBOL, static_cast<const void*>(record)},
                                      std::pair{BAKKESMOD_CREATE_SYMBOL, static_cast<const void*>(create)},
                                      std::pair{BAKKESMOD_DESTROY_SYMBOL, static_cast<const void*>(destroy)}}) {
        if (!found) {
            missing += missing.empty() ? "\"" : ", \"";
            missing += name;
            missing += '"';
        }
    }

    // Every problem of the record at once: a broken library is usually broken in more than one way.
    std::vector<std::string> problems;
    if (!missing.empty()) {
        problems.push_back("not exported: " + missing);
    }
    if (record) {
        const runtime::ExportedEntries exported{create, destroy};
        for (const runtime::RecordProblem& each : runtime::recordProblems(*record, &exported)) {
            problems.push_back(wording(each));
        }
    }
    std::optional<std::string> problem;
    for (const std::string& each : problems) {
        if (problem) {
            *problem += "; ";
            *problem += each;
        } else {
            problem = each;
        }
    }
    platform::closeLibrary(library);
    return problem;
}

std::optional<std::string> libraryTask(ChildChannel&, const std::vector<std::string>& words)
{
    return inspect(words.at(0));
}

} // namespace

const ChildTask kLibraryTask{"library", libraryTask};

CheckResult checkLibrary(const std::string& path, double timeLimitSeconds)
{
    return resultOf("library", runInChild(timeLimitSeconds, kLibraryTask, {path}));
}

} // namespace arena::validate
