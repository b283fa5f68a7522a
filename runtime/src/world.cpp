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

// Ids only grow and actors are only added at the end, so the list stays in id order.
Actor* World::findAmongMany(uint32_t id)
{
    const auto at = std::lower_bound(actors.begin(), actors.end(), id,
                                     [](const Actor& actor, uint32_t key) { return actor.id < key; });
    return id != 0 && at != actors.end() && at->id == id ? &*at : nullptr;
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
