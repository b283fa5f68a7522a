#pragma once
// Whether a plug-in library's exported record is one a host can run, and why not, as values: the
// loader and the validator both ask, and each words the reasons its own way.

#include <cstdint>
#include <vector>

#include "bakkesmod/plugin/bakkesmodplugin.h"

namespace runtime {

// The library's entry functions as found by their names; null for one that is not exported.
struct ExportedEntries {
    const void* create = nullptr;
    const void* destroy = nullptr;
};

struct RecordProblem {
    enum class Kind : uint8_t {
        WrongVersion, // hostApiVersion is `version`, not BAKKESMOD_PLUGIN_API_VERSION
        NullText,     // the text `field` is null
        EmptyText,    // the text `field` is empty
        NullFunction, // the function `field` is null
        NotExported,  // the function `field` is not the one exported as `exportedName`
    };
    Kind kind;
    const char* field = "hostApiVersion"; // the record's field, as the SDK names it; static
    int32_t version = 0;                  // WrongVersion: the record's
    const char* exportedName = "";        // NotExported: the entry's exported name; static
};

// Every reason `record` is not acceptable, in this order: the host API version, each null or empty
// text, then each entry function that is null or, when `exported` is given, not the exported one.
// Empty when the record is acceptable.
std::vector<RecordProblem> recordProblems(const BakkesMod::Plugin::PluginDescriptor& record,
                                          const ExportedEntries* exported = nullptr);

} // namespace runtime
