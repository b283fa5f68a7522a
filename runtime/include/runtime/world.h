#pragma once
// The simulated free-play world that wrappers read and write. Physics lives with the program that
// drives the world; the world only holds state and enforces that it stays finite.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "bakkesmod/wrappers/values.h"

namespace runtime {

enum class ActorKind : uint8_t { Server, Ball, Car, Camera };
enum class Contact : uint8_t { Ground, Wall, Air };

const char* actorKindName(ActorKind kind); // "server", "ball", "car", "camera"
const char* contactName(Contact contact);  // "ground", "wall", "air"

// One thing in the world. Ids are never reused, so a stale wrapper can never reach a new object.
struct Actor {
    uint32_t id = 0; // > 0
    ActorKind kind = ActorKind::Ball;
    Vector location;                // world units
    Vector velocity;                // world units per second
    Rotator rotation;               // 65536 to the turn
    Vector angularVelocity;         // radians per second
    Contact contact = Contact::Air; // cars only
};

// The most cars and balls a world holds at once. Each car is checked against each ball every tick,
// so the work of a frame grows with their product.
inline constexpr size_t kMaxCars = 64;
inline constexpr size_t kMaxBalls = 64;

struct World {
    bool freeplay = false;       // when false there is no game event and no server
    double clock = 0;            // game seconds of the game event; kept double so long runs do not drift
    uint32_t server = 0;         // id of the game event's server; 0 when none
    uint32_t camera = 0;         // 0 when none
    std::vector<uint32_t> balls; // ids; element 0 is the main ball
    std::vector<uint32_t> cars;  // ids; element 0 is the player's car
    std::vector<Actor> actors;   // every live actor, the server included, in the order of their ids

    // Null for 0, for a removed actor, or for an unknown id. Inline, for every wrapper call and
    // every tick finds its actors here, dozens of times a frame: free play holds a handful, looked
    // through from the front; more are found by halving.
    Actor* find(uint32_t id)
    {
        if (actors.size() > kFew) {
            return findAmongMany(id);
        }
        for (Actor& actor : actors) {
            if (actor.id >= id) {
                return actor.id == id && id != 0 ? &actor : nullptr;
            }
        }
        return nullptr;
    }
    const Actor* find(uint32_t id) const { return const_cast<World*>(this)->find(id); }
    Actor* ball() { return balls.empty() ? nullptr : find(balls.front()); } // element 0 of the ball list, or null
    Actor* car() { return cars.empty() ? nullptr : find(cars.front()); }    // element 0 of the car list, or null
    const Actor* ball() const { return const_cast<World*>(this)->ball(); }
    const Actor* car() const { return const_cast<World*>(this)->car(); }

    // Enters free play with one car at rest on the ground, one ball and a camera, as a host does
    // when the player starts free play; leaving it removes the event with everything in it.
    void setFreeplay(bool on);

    // Adds an actor and lists it; returns its id. A server only when none exists (its id then); no
    // car or ball beyond kMaxCars or kMaxBalls (0 then).
    uint32_t spawn(ActorKind kind);
    bool remove(ActorKind kind); // removes the newest actor of that kind; false when none

private:
    static constexpr size_t kFew = 8;
    Actor* findAmongMany(uint32_t id);

    uint32_t nextId_ = 1;
};

} // namespace runtime
