// The world's look-up by id, which every wrapper call and every tick goes through: each live
// actor found as itself, and nothing for 0, a removed actor or an id never handed out, however
// the removals left the list.

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "runtime/world.h"

namespace {

using runtime::ActorKind;

void expectFindsExactly(runtime::World& world, const std::set<uint32_t>& live, uint32_t upTo)
{
    for (uint32_t id = 0; id <= upTo; ++id) {
        const runtime::Actor* actor = world.find(id);
        if (live.count(id) != 0) {
            ASSERT_NE(actor, nullptr) << id;
            EXPECT_EQ(actor->id, id);
        } else {
            EXPECT_EQ(actor, nullptr) << id;
        }
        EXPECT_EQ(static_cast<const runtime::World&>(world).find(id), actor) << id;
    }
    EXPECT_EQ(world.find(UINT32_MAX), nullptr);
}

std::set<uint32_t> idsOf(const runtime::World& world)
{
    std::set<uint32_t> ids;
    for (const runtime::Actor& actor : world.actors) {
        ids.insert(actor.id);
    }
    return ids;
}

TEST(World, FindsEachLiveActorAndNothingElseWhateverWasRemoved)
{
    runtime::World world;
    expectFindsExactly(world, {}, 4); // empty

    world.setFreeplay(true);
    ASSERT_EQ(idsOf(world).size(), 4u);
    expectFindsExactly(world, idsOf(world), 12);

    // Removed in the middle (the ball), then at the front (the server): the ones after stand
    // closer to the first than their ids say.
    ASSERT_TRUE(world.remove(ActorKind::Ball));
    expectFindsExactly(world, idsOf(world), 12);
    ASSERT_TRUE(world.remove(ActorKind::Server));
    expectFindsExactly(world, idsOf(world), 12);

    // Many, beyond the handful looked through from the front, with gaps among them.
    for (int i = 0; i < 20; ++i) {
        world.spawn(i % 2 == 0 ? ActorKind::Ball : ActorKind::Car);
    }
    expectFindsExactly(world, idsOf(world), 40);
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(world.remove(ActorKind::Ball));
    }
    expectFindsExactly(world, idsOf(world), 40);

    world.setFreeplay(false);
    expectFindsExactly(world, idsOf(world), 40);
}

} // namespace
