#pragma once
// A host with the built Volanko library loaded into it, as the game's host loads it, the trace on.
// Every test ends with the promise the plug-in makes the host: nothing non-finite handed over,
// every wrapper released, no call into a wrapper that holds nothing, no exception let out.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "Volanko/Volanko.h"
#include "arena/common/load_refusal.h"
#include "arena/play/drill_profile.h"
#include "runtime/host.h"

using Lines = std::vector<std::string>;

class VolankoTest : public ::testing::Test {
protected:
    ~VolankoTest() override { switching.reset(); }

    void SetUp() override
    {
        host.switchTrace(true);
        const runtime::LoadResult loaded = host.load(VOLANKO_PLUGIN_PATH);
        ASSERT_TRUE(loaded) << arena::loadRefusal(loaded);
        id = loaded.plugin;
        loadTrace = trace();
        host.clearTrace();
    }

    void TearDown() override
    {
        EXPECT_EQ(host.faults().reports, Lines{});
        host.unload(id);
    }

    Volanko& volanko() { return static_cast<Volanko&>(*host.findPlugin(id)->plugin); }
    static auto xyz(const Vector& v) { return std::tuple(v.x, v.y, v.z); } // comparable and printable
    void hitAt(double clock)
    {
        host.driveWorld().clock = clock;
        host.fireEvent(runtime::kBallHitEvent);
    }
    void frameAt(double clock)
    {
        host.driveWorld().clock = clock;
        host.drawFrame();
    }

    // Free play on, drill on; the trace starts empty.
    void startDrill()
    {
        host.driveWorld().setFreeplay(true);
        // The arena's drill profile names the plug-in's start command.
        ASSERT_TRUE(host.runCommand({std::string(arena::kDrill.startCommand)}));
        host.clearTrace();
    }

    // The fixed values every read of the three location variables gives.
    void setLocation(const char* x, const char* y, const char* z)
    {
        ASSERT_EQ(host.setVariable("volanko_balllocation_x", x), "");
        ASSERT_EQ(host.setVariable("volanko_balllocation_y", y), "");
        ASSERT_EQ(host.setVariable("volanko_balllocation_z", z), "");
    }

    // Switches the location variables to other values after the first three float reads, so the
    // second round of reads in a reset differs from the first.
    void switchLocationAfterTarget(std::string x, std::string y, std::string z)
    {
        switcher.test = this;
        switcher.count = 0;
        switcher.x = std::move(x);
        switcher.y = std::move(y);
        switcher.z = std::move(z);
        switching = host.attach(switcher);
    }

    struct Switcher : runtime::HostObserver {
        VolankoTest* test = nullptr;
        int count = 0;
        std::string x, y, z;
        void onTrace(const runtime::TraceEntry& entry) override
        {
            if (std::strcmp(entry.call, "CVarWrapper::getFloatValue") == 0 && ++count == 3) {
                test->host.setVariable("volanko_balllocation_x", x);
                test->host.setVariable("volanko_balllocation_y", y);
                test->host.setVariable("volanko_balllocation_z", z);
            }
        }
    };

    // Each traced call as "Class::Member receiver args", the receiver without its id ("car#3" is
    // "car") and left out when there is none.
    Lines calls() const
    {
        Lines texts;
        for (const runtime::TraceEntry& entry : host.trace().entries()) {
            const std::string_view self = std::string_view(entry.self).substr(0, entry.self.find('#'));
            texts.push_back(std::string(entry.call) + (self.empty() ? "" : " ") + std::string(self) + " " + entry.args);
        }
        return texts;
    }

    // The same, one call a line: a mismatch shows as a diff.
    std::string trace() const
    {
        std::string text;
        for (const std::string& call : calls()) {
            text += call + '\n';
        }
        return text;
    }

    size_t countOf(std::string_view call) const
    {
        return std::ranges::count_if(host.trace().entries(),
                                     [call](const runtime::TraceEntry& e) { return call == e.call; });
    }

    // The texts drawn in the last frame.
    Lines texts() const
    {
        Lines lines;
        for (const runtime::CanvasDraw& draw : host.canvas().draws()) {
            lines.push_back(draw.text);
        }
        return lines;
    }

    // Every drill field, comparable and printable, to show what an entry changed and what it left.
    auto fields()
    {
        const Volanko& v = volanko();
        return std::tuple(v.active, v.ballTarget.x, v.ballTarget.y, v.ballTarget.z, v.lastResetTime, v.averageTime,
                          v.currentStreak, v.bestStreak, v.airborne, v.failedUntil);
    }

    // Every field but `active` set to something other than its start value.
    void fillFields()
    {
        Volanko& v = volanko();
        v.ballTarget = {11, -22, 333};
        v.lastResetTime = 4.5f;
        v.averageTime = 1.25f;
        v.currentStreak = 3;
        v.bestStreak = 7;
        v.airborne = true;
        v.failedUntil = 9.75f;
    }

    runtime::Host host{1};
    Switcher switcher;
    runtime::Observation switching; // detached before the switcher goes
    uint32_t id = 0;
    std::string loadTrace; // what onLoad asked of the host
};
