#pragma once
// The drill's fields as one comparable value, to show what an entry changed and what it left.

#include <cstdint>
#include <ostream>

#include "Volanko/Volanko.h"

struct DrillState {
    bool active = false;       // Volanko::active
    float targetX = 0;         // Volanko::ballTarget.x
    float targetY = 0;         // Volanko::ballTarget.y
    float targetZ = 0;         // Volanko::ballTarget.z
    float lastResetTime = 0;   // Volanko::lastResetTime
    float averageTime = 0;     // Volanko::averageTime
    int32_t currentStreak = 0; // Volanko::currentStreak
    int32_t bestStreak = 0;    // Volanko::bestStreak
    bool airborne = false;     // Volanko::airborne
    float failedUntil = 0;     // Volanko::failedUntil

    bool operator==(const DrillState&) const = default;
};

inline DrillState drillState(const Volanko& v)
{
    return {v.active,      v.ballTarget.x,  v.ballTarget.y, v.ballTarget.z, v.lastResetTime,
            v.averageTime, v.currentStreak, v.bestStreak,   v.airborne,     v.failedUntil};
}

// Every field set to something other than its start value, so a reset of any would show.
inline void fillDrillState(Volanko& v)
{
    v.ballTarget = {11, -22, 333};
    v.lastResetTime = 4.5f;
    v.averageTime = 1.25f;
    v.currentStreak = 3;
    v.bestStreak = 7;
    v.airborne = true;
    v.failedUntil = 9.75f;
}

inline std::ostream& operator<<(std::ostream& out, const DrillState& s)
{
    return out << "{active " << s.active << ", target (" << s.targetX << ", " << s.targetY << ", " << s.targetZ
               << "), lastReset " << s.lastResetTime << ", average " << s.averageTime << ", streak " << s.currentStreak
               << ", best " << s.bestStreak << ", airborne " << s.airborne << ", failedUntil " << s.failedUntil << "}";
}
