#include "arena/common/load_refusal.h"

#include "arena/common/concat.h"
#include "runtime/plugin_record.h"

namespace arena {

namespace {

// The first reason the record is refused, tersely: the validator's library check words the whole
// list its own way.
std::string recordReason(const runtime::RecordProblem& problem)
{
    const std::string field = problem.field;
    switch (problem.kind) {
    case runtime::RecordProblem::Kind::WrongVersion:
        return "\"exports\" has host API version " + std::to_string(problem.version) + ", not " +
               std::to_string(BAKKESMOD_PLUGIN_API_VERSION);
    case runtime::RecordProblem::Kind::NullText: return "\"exports\" " + field + " is null";
    case runtime::RecordProblem::Kind::EmptyText: return "\"exports\" " + field + " is empty";
    case runtime::RecordProblem::Kind::NullFunction: return "\"exports\" has no " + field;
    case runtime::RecordProblem::Kind::NotExported: break;
    }
    return "\"exports\" " + field + " is not the exported " + problem.exportedName;
}

std::string reason(const runtime::LoadResult& result)
{
    using runtime::LoadProblem;
    switch (result.problem) {
    case LoadProblem::None: break;
    case LoadProblem::NotALibrary: return "cannot be opened as a library: " + result.detail;
    case LoadProblem::AlreadyLoaded: return "the library is already loaded in this process";
    case LoadProblem::NoRecord: return "no \"exports\" record";
    case LoadProblem::BadRecord: return recordReason(result.record);
    case LoadProblem::CreateThrew: return "createFunction threw";
    case LoadProblem::NoPluginObject: return "createFunction gave no plug-in object";
    case LoadProblem::Trial: return result.detail;
    }
    return {};
}

} // namespace

std::string loadRefusal(const runtime::LoadResult& result)
{
    return result.problem == runtime::LoadProblem::None ? std::string() : result.path + ": " + reason(result);
}

std::string notLoaded(std::string_view refusal)
{
    return concat("the plug-in did not load: ", refusal);
}

} // namespace arena
