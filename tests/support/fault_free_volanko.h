#pragma once
// The loaded plug-in, with the promise every test of it checks at the end: nothing it handed the
// host was non-finite, every wrapper it obtained was released, and it never called into a wrapper
// that holds nothing.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "loaded_volanko.h"

class FaultFreeVolanko : public LoadedVolanko {
protected:
    void TearDown() override
    {
        EXPECT_EQ(host.faults.nonFiniteCalls, 0u) << reports();
        EXPECT_EQ(host.faults.keptWrappers, 0u) << reports();
        EXPECT_EQ(host.faults.nullCalls, 0u) << reports();
        EXPECT_EQ(host.faults.callbackExceptions, 0u) << reports();
        LoadedVolanko::TearDown();
    }

    std::string reports() const
    {
        std::string text;
        for (const std::string& line : host.faults.reports) {
            text += line;
            text += '\n';
        }
        return text;
    }

    // Free play and drill on, the trace switched on and empty.
    void startTracedDrill()
    {
        startDrill();
        host.trace.on = true;
        host.trace.clear();
    }

    // The fixed values every read of the three location variables gives.
    void setLocation(const char* x, const char* y, const char* z)
    {
        ASSERT_TRUE(host.console.set("volanko_balllocation_x", x));
        ASSERT_TRUE(host.console.set("volanko_balllocation_y", y));
        ASSERT_TRUE(host.console.set("volanko_balllocation_z", z));
    }

    // Switches the three location variables to other values once `reads` float reads have been
    // made, so the second round of reads in a reset differs from the first. Needs the trace on.
    void switchLocationAfter(int reads, std::string x, std::string y, std::string z)
    {
        host.trace.sink = [this, reads, count = 0, x, y, z](const host::TraceEntry& entry) mutable {
            if (std::strcmp(entry.call, "CVarWrapper::getFloatValue") == 0 && ++count == reads) {
                host.console.set("volanko_balllocation_x", x);
                host.console.set("volanko_balllocation_y", y);
                host.console.set("volanko_balllocation_z", z);
            }
        };
    }
};

// The same, with the trace on from before the library is loaded, so onLoad's calls are recorded.
class TracedLoadVolanko : public FaultFreeVolanko {
protected:
    void beforeLoad() override { host.trace.on = true; }
};
