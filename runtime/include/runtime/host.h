#pragma once
// The host runtime: the world, the console, the canvas, hooks and drawables, the call trace,
// wrapper accounting and the plug-in loader. A program embeds one Host and drives it; plug-in
// code reaches it only through the SDK wrappers.
//
// Threading: none. The host calls plug-ins one callback at a time, like the game does.

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bakkesmod/plugin/bakkesmodplugin.h"
#include "runtime/canvas.h"
#include "runtime/console.h"
#include "runtime/observer.h"
#include "runtime/plugin_record.h"
#include "runtime/trace.h"
#include "runtime/world.h"

namespace runtime {

struct Hook {
    std::string eventName;
    std::function<void(std::string)> callback;
    uint32_t owner = 0;
};

struct Drawable {
    std::function<void(CanvasWrapper)> callback;
    uint32_t owner = 0;
};

// A library the loader has open, with the plug-in object it made.
struct LoadedPlugin {
    uint32_t id = 0; // > 0, never reused
    std::string path;
    void* library = nullptr;                                    // the operating system's handle
    BakkesMod::Plugin::PluginDescriptor descriptor{};           // a copy of the library's record
    std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin> plugin; // the host's copy of the handle
};

// Why the loader refused a library.
enum class LoadProblem : uint8_t {
    None,           // loaded
    NotALibrary,    // the file, or the system, would not open it as a library
    AlreadyLoaded,  // the same library is loaded in this process
    NoRecord,       // no "exports" record
    BadRecord,      // the record is not one a host can run
    CreateThrew,    // createFunction threw
    NoPluginObject, // createFunction gave no plug-in object
    Trial,          // a trial load before it refused it
};

// What a load came to, for the caller to word: the loader says why, never how it reads.
struct LoadResult {
    uint32_t plugin = 0;                     // the loaded plug-in's id; 0 when refused
    LoadProblem problem = LoadProblem::None; // None exactly when `plugin` is not 0
    std::string path;                        // the library as messages name it
    std::string detail;                      // NotALibrary, Trial: the system's or the trial's reason
    RecordProblem record{};                  // BadRecord: the first thing wrong with the record
    explicit operator bool() const { return plugin != 0; }
};

// What the host saw plug-ins do that a real game would not survive.
struct Faults {
    uint64_t keptWrappers = 0;        // callbacks that returned holding a wrapper they obtained
    uint64_t nullCalls = 0;           // calls into a wrapper that holds nothing
    uint64_t nonFiniteCalls = 0;      // calls that handed the host a NaN or an infinity (refused)
    uint64_t callbackExceptions = 0;  // exceptions that escaped a callback (caught by the host)
    std::vector<std::string> reports; // one line for each of the above, oldest first
};

} // namespace runtime

// What a wrapper holds of the host that made it; the plug-in sees only its name.
struct HostHandle {
protected:
    HostHandle() = default;
    ~HostHandle() = default;
};

namespace runtime {

class Host : public HostHandle {
public:
    explicit Host(uint64_t seed = 0);
    ~Host(); // unloads every plug-in still loaded
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // What the host holds, for any caller to read. Each changes only through the calls below, or
    // through the wrappers on a plug-in's behalf.
    const World& world() const { return world_; }
    const Console& console() const { return console_; }
    const Canvas& canvas() const { return canvas_; }
    const Trace& trace() const { return trace_; }
    const Faults& faults() const { return faults_; }

    // The one door to the world for the program that drives it (physics, its own commands, a
    // test's setting of the scene): the world is the game, which a host moves between callbacks.
    World& driveWorld() { return world_; }

    // Sets a console variable by its text, as a typed command does (Console::set): the reason it
    // was refused, or empty when it was taken.
    std::string setVariable(std::string_view name, std::string_view text) { return console_.set(name, text); }
    // Until it is called again with null, every read a plug-in makes of a variable comes from
    // `reads`, which must outlive that use.
    void readVariablesFrom(ReadSource* reads) { console_.reads = reads; }
    // What GetSize answers from the next call on, in pixels.
    void setCanvasSize(Vector2 size) { canvas_.size = size; }
    // Switches the call trace on or off; what it kept stays until cleared.
    void switchTrace(bool on) { trace_.switchOn(on); }
    void clearTrace() { trace_.clear(); }

    // What the plug-ins have registered, and the plug-ins loaded, oldest first.
    const std::vector<Hook>& hooks() const { return hooks_; }
    const std::vector<Drawable>& drawables() const { return drawables_; }
    const std::vector<LoadedPlugin>& plugins() const { return plugins_; }
    // Registrations, which the wrappers make for their plug-in; removed when it is unloaded.
    void addHook(Hook hook) { hooks_.push_back(std::move(hook)); }
    void addDrawable(Drawable drawable) { drawables_.push_back(std::move(drawable)); }

    // Loads the library at `file` once it is known to be a regular file holding a complete shared
    // library; the result and the plug-in's path name it `shownAs` when given (a private copy stands
    // for the user's file).
    LoadResult load(const std::string& file, const std::string& shownAs = {});
    bool unload(uint32_t plugin); // false when no such plug-in is loaded
    void unloadAll();
    LoadedPlugin* findPlugin(uint32_t plugin);

    // Host-side events. Each runs the plug-ins' callbacks one at a time, with accounting.
    void fireEvent(std::string_view eventName);             // every hook on that name
    bool runCommand(const std::vector<std::string>& words); // words[0] names a notifier; false when none
    void drawFrame();                                       // every drawable, with a fresh canvas recording
    // A frame drawn by `drawable` alone, in the host's own name (owner 0), with the same accounting:
    // the host's share of a frame measured without a plug-in, or a test that draws as one would.
    void drawFrameWith(const std::function<void(CanvasWrapper)>& drawable);

    int64_t wrappersAlive() const { return wrappersAlive_; }

    // Attaches `observer` until the token is dropped; the observer must outlive the token.
    [[nodiscard]] Observation attach(HostObserver& observer);

private:
    // The wrappers' side of the host: they count themselves and report what plug-ins do wrong.
    friend class ::ObjectWrapper;
    friend class Call;
    friend class Observation;
    friend struct HostParts;
    void detach(HostObserver* observer);
    bool observed() const { return !observers_.empty(); }
    void traced(const TraceEntry& entry);
    void actorChanged(const char* call, const Actor& actor, const Vector& value);
    void wrapperMade() { ++wrappersAlive_; }
    void wrapperDropped() { --wrappersAlive_; }
    void nullCall(const char* call);
    void nonFiniteCall(const char* call);

    // Runs `body` as a callback into plug-in `owner` (`what` names it in reports): exceptions are
    // caught, and a callback that returns holding a wrapper is reported.
    template <class Body> void callPlugin(uint32_t owner, const char* what, Body&& body)
    {
        const int64_t before = wrappersAlive_;
        try {
            body();
        } catch (const std::exception& error) {
            callbackThrew(owner, what, error.what());
        } catch (...) {
            callbackThrew(owner, what, "an exception that is not a std::exception");
        }
        if (wrappersAlive_ > before) {
            callbackKept(owner, what, wrappersAlive_ - before);
        }
    }

    // Runs `draw` in a fresh canvas frame: canvas wrappers made for that frame draw only meanwhile.
    template <class Draw> void inFrame(Draw&& draw)
    {
        canvas_.beginFrame();
        canvas_.drawing = true;
        draw();
        canvas_.drawing = false;
    }

    void callbackThrew(uint32_t owner, const char* what, const char* message);
    void callbackKept(uint32_t owner, const char* what, int64_t count);
    void removeRegistrations(uint32_t plugin);
    World world_;
    Console console_;
    Canvas canvas_;
    Trace trace_;
    Faults faults_;
    std::vector<Hook> hooks_;
    std::vector<Drawable> drawables_;
    std::vector<LoadedPlugin> plugins_;
    int64_t wrappersAlive_ = 0;
    uint32_t nextPlugin_ = 1;
    std::vector<HostObserver*> observers_; // in the order they attached
};

// The ball-hit event a host fires whenever a car touches the ball.
inline constexpr const char* kBallHitEvent = ::kBallHitEvent;

} // namespace runtime
