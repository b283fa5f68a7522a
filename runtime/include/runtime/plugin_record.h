#pragma once
// Whether a plug-in library's exported record is one a host can run, and why not. The loader and
// the validator both ask; they word the same reasons their own way.

#include <cstdint>
#include <string>
#include <vector>

#include "bakkesmod/plugin/bakkesmodplugin.h"

namespace runtime {

// The loader names the first reason, tersely; the validator lists every reason in its own words.
enum class RecordWording : uint8_t { Loader, Validator };

// The library's entry functions as found by their names; null for one that is not exported.
struct ExportedEntries {
    const void* create = nullptr;
    const void* destroy = nullptr;
};

// Every reason `record` is not acceptable, in this order: the host API version, each null or empty
// text, then each entry function that is null or, when `exported` is given, not the exported one.
// Each reason starts with "\"exports\" ". Empty when the record is acceptable.
std::vector<std::string> recordProblems(const BakkesMod::Plugin::PluginDescriptor& record, RecordWording wording,
                                        const ExportedEntries* exported = nullptr);

} // namespace runtime
