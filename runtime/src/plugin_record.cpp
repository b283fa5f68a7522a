#include "runtime/plugin_record.h"

#include <utility>

namespace runtime {

namespace {

void versionProblem(const BakkesMod::Plugin::PluginDescriptor& record, RecordWording wording,
                    std::vector<std::string>& problems)
{
    if (record.hostApiVersion == BAKKESMOD_PLUGIN_API_VERSION) {
        return;
    }
    const std::string found = std::to_string(record.hostApiVersion);
    const std::string needed = std::to_string(BAKKESMOD_PLUGIN_API_VERSION);
    problems.push_back(wording == RecordWording::Loader
                           ? "\"exports\" has host API version " + found + ", not " + needed
                           : "\"exports\" has hostApiVersion " + found + ", the host needs " + needed);
}

void textProblem(const char* field, const char* text, std::vector<std::string>& problems)
{
    if (!text) {
        problems.push_back(std::string("\"exports\" ") + field + " is null");
    } else if (*text == '\0') {
        problems.push_back(std::string("\"exports\" ") + field + " is empty");
    }
}

// `entry` is the record's function, `exported` the one found by `exportedName` (null when not
// looked up or not exported).
void functionProblem(const char* field, const void* entry, const void* exported, const char* exportedName,
                     RecordWording wording, std::vector<std::string>& problems)
{
    if (!entry) {
        problems.push_back(wording == RecordWording::Loader ? std::string("\"exports\" has no ") + field
                                                            : std::string("\"exports\" ") + field + " is null");
    } else if (exported && entry != exported) {
        problems.push_back(std::string("\"exports\" ") + field + " is not the exported " + exportedName);
    }
}

} // namespace

std::vector<std::string> recordProblems(const BakkesMod::Plugin::PluginDescriptor& record, RecordWording wording,
                                        const ExportedEntries* exported)
{
    std::vector<std::string> problems;
    versionProblem(record, wording, problems);
    for (const auto& [field, text] :
         {std::pair{"sourceFile", record.sourceFile}, std::pair{"pluginClass", record.pluginClass},
          std::pair{"displayName", record.displayName}, std::pair{"versionText", record.versionText}}) {
        textProblem(field, text, problems);
    }
    functionProblem("createFunction", reinterpret_cast<const void*>(record.createFunction),
                    exported ? exported->create : nullptr, BAKKESMOD_CREATE_SYMBOL, wording, problems);
    functionProblem("destroyFunction", reinterpret_cast<const void*>(record.destroyFunction),
                    exported ? exported->destroy : nullptr, BAKKESMOD_DESTROY_SYMBOL, wording, problems);
    return problems;
}

} // namespace runtime
