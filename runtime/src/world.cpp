#include "runtime/world.h"

#include <algorithm>
#include <utility>

#include "runtime/pitch.h"

namespace runtime {

const char* actorKindName(ActorKind kind)
{
    switch (kind) {
    case ActorKind::Server: return "server";
    case ActorKind::Ball: return "ball";
    case ActorKind::Car: return "car";
    case ActorKind::Camera: return "camera";
    }
    return "?";
}

const char* contactName(Contact contact)
{
    switch (contact) {
    case Contact::Ground: return "ground";
    case Contact::Wall: return "wall";
    case Contact::Air: return "air";
    }
    return "?";
}

Actor* World::find(uint32_t id)
{
    // Ids only grow and actors are only added at the end, so the list stays in id order. Free
    // play holds a handful, where a look from the front beats halving: every wrapper call finds
    // its actor here, dozens a frame.
    constexpr size_t kFew = 8;
    if (id == 0) {
        return nullptr;
    }
    if (actors.size() <= kFew) {
        for (Actor& actor : actors) {
            if (actor.id >= id) {
                return actor.id == id ? &actor : nullptr;
            }
        }
        return nullptr;
    }
    const auto at = std::lower_bound(actors.begin(), actors.end(), id,
                                     [](const Actor& actor, uint32_t key) { return actor.id < key; });
    return at != actors.end() && at->id == id ? &*at : nullptr;
}

const Actor* World::find(uint32_t id) const
{
    return const_cast<World*>(this)->find(id);
}

const Actor* World::ball() const
{
    return balls.empty() ? nullptr : find(balls.front());
}

const Actor* World::car() const
{
    return cars.empty() ? nullptr : find(cars.front());
}

Actor* World::ball()
{
    return const_cast<Actor*>(std::as_const(*this).ball());
}

Actor* World::car()
{
    return const_cast<Actor*>(std::as_const(*this).car());
}

void World::setFreeplay(bool on)
{
    if (on == freeplay) {
        return;
    }
    freeplay = on;
    if (!on) {
        while (remove(ActorKind::Car)) {
        }
        while (remove(ActorKind::Ball)) {
        }
        remove(ActorKind::Server);
        return;
    }
    clock = 0;
    spawn(ActorKind::Server);
    spawn(ActorKind::Car);
    spawn(ActorKind::Ball);
    if (camera == 0) {
        spawn(ActorKind::Camera);
    }
}

uint32_t World::spawn(ActorKind kind)
{
    if (kind == ActorKind::Server && server != 0) {
        return server;
    }
    if ((kind == ActorKind::Car && cars.size() >= kMaxCars) || (kind == ActorKind::Ball && balls.size() >= kMaxBalls)) {
        return 0;
    }
    Actor actor;
    actor.id = nextId_++;
    actor.kind = kind;
    switch (kind) {
    case ActorKind::Server: server = actor.id; break;
    case ActorKind::Camera: camera = actor.id; break;
    case ActorKind::Ball:
        actor.location = kBallSpawn;
        balls.push_back(actor.id);
        break;
    case ActorKind::Car:
        actor.location = kCarSpawn;
        actor.rotation = kCarSpawnRotation;
        actor.contact = Contact::Ground;
        cars.push_back(actor.id);
        break;
    }
    actors.push_back(actor);
    return actor.id;
}

bool World::remove(ActorKind kind)
{
    uint32_t id = 0;
    switch (kind) {
    case ActorKind::Server:
        id = server;
        server = 0;
        break;
    case ActorKind::Camera:
        id = camera;
        camera = 0;
        break;
    case ActorKind::Ball:
        if (!balls.empty()) {
            id = balls.back();
            balls.pop_back();
        }
        break;
    case ActorKind::Car:
        if (!cars.empty()) {
            id = cars.back();
            cars.pop_back();
        }
        break;
    }
    if (id == 0) {
        return false;
    }
    std::erase_if(actors, [id](const Actor& actor) { return actor.id == id; });
    return true;
}

} // namespace runtime
