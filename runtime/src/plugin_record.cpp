#include "runtime/plugin_record.h"

#include <utility>

namespace runtime {

std::vector<RecordProblem> recordProblems(const BakkesMod::Plugin::PluginDescriptor& record,
                                          const ExportedEntries* exported)
{
    using Kind = RecordProblem::Kind;
    std::vector<RecordProblem> problems;
    if (record.hostApiVersion != BAKKESMOD_PLUGIN_API_VERSION) {
        problems.push_back({Kind::WrongVersion, "hostApiVersion", record.hostApiVersion});
    }
    for (const auto& [field, text] :
         {std::pair{"sourceFile", record.sourceFile}, std::pair{"pluginClass", record.pluginClass},
          std::pair{"displayName", record.displayName}, std::pair{"versionText", record.versionText}}) {
        if (!text || *text == '\0') {
            problems.push_back({text ? Kind::EmptyText : Kind::NullText, field});
        }
    }
    const auto function = [&](const char* field, const void* entry, const void* found, const char* name) {
        if (!entry) {
            problems.push_back({Kind::NullFunction, field});
        } else if (found && entry != found) {
            problems.push_back({Kind::NotExported, field, 0, name});
        }
    };
    function("createFunction", reinterpret_cast<const void*>(record.createFunction),
             exported ? exported->create : nullptr, BAKKESMOD_CREATE_SYMBOL);
    function("destroyFunction", reinterpret_cast<const void*>(record.destroyFunction),
             exported ? exported->destroy : nullptr, BAKKESMOD_DESTROY_SYMBOL);
    return problems;
}

} // namespace runtime
