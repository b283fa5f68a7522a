// The loader refuses what it cannot run, says which file and why, and carries on; unloading runs
// onUnload, takes back everything the plug-in registered, destroys it and closes the library.
// Plug-ins that misbehave at run time are caught and reported; the host and the other plug-ins
// keep running.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "Volanko/Volanko.h"
#include "arena/common/load_refusal.h"
#include "platform/library.h"
#include "runtime/host.h"
#include "runtime/plugin_record.h"
#include "tests/support/broken_plugin_path.h"

namespace {

using Lines = std::vector<std::string>;

// Whether the process still has a library open, without opening it.
bool libraryIsOpen(const std::string& path)
{
    platform::Library handle = platform::openedLibrary(path);
    if (handle) {
        platform::closeLibrary(handle);
    }
    return handle != nullptr;
}

class Loader : public ::testing::Test {
protected:
    runtime::Host host{1};
};

struct Refused {
    const char* library;          // under tests/broken
    runtime::LoadProblem problem; // what the loader returns
    const char* reason;           // what the arena's message says after the path
};

class Refusal : public Loader, public ::testing::WithParamInterface<Refused> {};

TEST_P(Refusal, NamesTheFileAndTheReasonAndLeavesNothingBehind)
{
    const std::string path = brokenPlugin(GetParam().library);
    const runtime::LoadResult result = host.load(path);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.problem, GetParam().problem);
    EXPECT_EQ(result.path, path);
    EXPECT_THAT(arena::loadRefusal(result), ::testing::StartsWith(path + ": " + GetParam().reason));
    EXPECT_TRUE(host.plugins().empty() && host.hooks().empty() && host.drawables().empty() &&
                host.console().notifiers.empty() && host.console().cvars.empty());
    EXPECT_FALSE(libraryIsOpen(path));
    EXPECT_TRUE(host.wrappersAlive() == 0 && host.faults().reports.empty());
}

using runtime::LoadProblem;
INSTANTIATE_TEST_SUITE_P(
    Libraries, Refusal,
    ::testing::Values(Refused{"not_a_library", LoadProblem::NotALibrary, "cannot be opened as a library: "},
                      Refused{"never_built", LoadProblem::NotALibrary, "cannot be opened as a library: "},
                      Refused{"no_exports", LoadProblem::NoRecord, "no \"exports\" record"},
                      Refused{"wrong_version", LoadProblem::BadRecord, "\"exports\" has host API version 94, not 95"},
                      Refused{"null_functions", LoadProblem::BadRecord, "\"exports\" has no createFunction"}));

// The reasons no broken library here gives, read as the arena has always worded them; a load that
// came through has no refusal.
TEST(LoadRefusal, ReadsEachProblemWithThePathFirst)
{
    using Kind = runtime::RecordProblem::Kind;
    const auto refusal = [](LoadProblem problem, std::string detail = {}, runtime::RecordProblem record = {}) {
        return arena::loadRefusal({0, problem, "lib.so", std::move(detail), record});
    };
    EXPECT_EQ(arena::loadRefusal({3, LoadProblem::None, "lib.so", {}}), "");
    EXPECT_EQ(refusal(LoadProblem::NotALibrary, "not an ELF file"),
              "lib.so: cannot be opened as a library: not an ELF file");
    EXPECT_EQ(refusal(LoadProblem::Trial, "the library crashed while being loaded (SIGSEGV)"),
              "lib.so: the library crashed while being loaded (SIGSEGV)");
    EXPECT_EQ(refusal(LoadProblem::AlreadyLoaded), "lib.so: the library is already loaded in this process");
    EXPECT_EQ(refusal(LoadProblem::CreateThrew), "lib.so: createFunction threw");
    EXPECT_EQ(refusal(LoadProblem::NoPluginObject), "lib.so: createFunction gave no plug-in object");
    EXPECT_EQ(refusal(LoadProblem::BadRecord, {}, {Kind::NullText, "pluginName"}),
              "lib.so: \"exports\" pluginName is null");
    EXPECT_EQ(refusal(LoadProblem::BadRecord, {}, {Kind::EmptyText, "className"}),
              "lib.so: \"exports\" className is empty");
    EXPECT_EQ(refusal(LoadProblem::BadRecord, {}, {Kind::NotExported, "destroyFunction", 0, "_destroy"}),
              "lib.so: \"exports\" destroyFunction is not the exported _destroy");
}

TEST_F(Loader, ProbeSeesItsEntriesRunAndTheWrappersItIsGiven)
{
    const runtime::LoadResult loaded = host.load(LOADER_PROBE_PATH);
    ASSERT_TRUE(loaded) << arena::loadRefusal(loaded);
    host.fireEvent(runtime::kBallHitEvent);
    host.drawFrame();
    host.drawFrame();
    EXPECT_TRUE(host.runCommand({"probe_command"}));
    EXPECT_EQ(host.console().log, (Lines{"probe: onLoad, probe_second is two", "probe: hit", "probe: frame",
                                         "probe: frame", "probe: command"}));
    // Each frame starts white at (0, 0), whatever the last one left set.
    ASSERT_EQ(host.canvas().draws().size(), 1u);
    const runtime::CanvasDraw& draw = host.canvas().draws()[0];
    EXPECT_EQ(std::vector<float>({draw.color.r, draw.color.g, draw.color.b, draw.color.a}),
              std::vector<float>({255, 255, 255, 255}));
    EXPECT_EQ(draw.position.x + draw.position.y, 0);

    // Unloading runs onUnload, destroys the object through the record and closes the library.
    platform::Library probe = platform::openedLibrary(LOADER_PROBE_PATH); // keeps it mapped to read the count
    ASSERT_NE(probe, nullptr);
    const int* deleteCalls = static_cast<const int*>(platform::findSymbol(probe, "deleteCalls"));
    ASSERT_TRUE(host.unload(loaded.plugin));
    EXPECT_EQ(*deleteCalls, 1);
    platform::closeLibrary(probe);
    EXPECT_FALSE(libraryIsOpen(LOADER_PROBE_PATH));
    EXPECT_EQ(host.console().log.back(), "probe: onUnload");
    EXPECT_EQ(host.findPlugin(loaded.plugin), nullptr);
    EXPECT_FALSE(host.unload(loaded.plugin));
    EXPECT_TRUE(host.faults().reports.empty());
    // Values: a range is held within the limits at both ends; a sign after a plus, an infinity and
    // an unknown name are refused.
    EXPECT_EQ(host.setVariable("probe_first", "(-5, 50)"), "");
    EXPECT_EQ(host.setVariable("probe_first", "+5"), "");
    EXPECT_EQ(host.console().cvars[0].value, "5");
    EXPECT_EQ(host.setVariable("probe_first", "(-5, 50)"), "");
    EXPECT_EQ(host.console().cvars[0].value, "(0, 10)");
    for (const char* refused : {"+-5", "inf", "1e40"}) {
        EXPECT_NE(host.setVariable("probe_first", refused), "") << refused;
    }
    EXPECT_EQ(
        host.setVariable("probe_first", "+-5"),
        "probe_first: \"+-5\" is neither a finite number nor a range \"(low, high)\"; the value stays \"(0, 10)\"");
    EXPECT_EQ(host.setVariable("probe_third", "1"), "no console variable named probe_third");
}

// The wrappers at their edges, called as a plug-in calls them: into nothing, out of range, past
// their frame, with numbers that are not finite, and after the plug-in is gone.
TEST_F(Loader, WrappersAtTheirEdges)
{
    const runtime::LoadResult probe = host.load(LOADER_PROBE_PATH);
    ASSERT_TRUE(probe) << arena::loadRefusal(probe);
    GameWrapper game(&host, probe.plugin);
    CVarManagerWrapper cvars(&host, probe.plugin);
    EXPECT_EQ(game.GetGameEventAsServer().GetGameBalls().Count(), 0) << "no server outside free play";
    BallWrapper none = game.GetGameEventAsServer().GetGameBalls().Get(0); // each call into nothing is counted
    none.SetLocation({}), none.SetVelocity({}), none.AddVelocity({}), none.SetRotation({});
    none.SetAngularVelocity({}, false);
    EXPECT_EQ(none.GetLocation().x + none.GetVelocity().y + none.GetAngularVelocity().z + none.GetRotation().yaw, 0);
    EXPECT_EQ(host.faults().nullCalls, 2u + 2 + 9);
    const size_t reportsBefore = host.faults().reports.size();
    host.driveWorld().setFreeplay(true);
    const ArrayWrapper<BallWrapper> balls = game.GetGameEventAsServer().GetGameBalls();
    EXPECT_TRUE(balls.Get(-1).IsNull() && balls.Get(1).IsNull() && !balls.Get(0).IsNull());
    host.switchTrace(true);
    balls.Get(0);
    cvars.registerCvar("probe_fourth", "1", "d", true, false, 0, true, 2, false);
    host.switchTrace(false);
    ASSERT_EQ(host.trace().entries().size(), 2u);
    EXPECT_EQ(host.trace().entries()[0].json(),
              R"({"call":"ArrayWrapper::Get","self":"balls","args":[0],"result":"ball#3"})");
    EXPECT_EQ(
        host.trace().entries()[1].json(),
        R"({"call":"CVarManagerWrapper::registerCvar","args":["probe_fourth","1","d",true,false,0,true,2,false]})");
    host.clearTrace();
    EXPECT_TRUE(cvars.getCvar("probe_third").IsNull() && !cvars.getCvar("probe_first").IsNull());
    ActorWrapper actor = game.GetCamera(), car = game.GetLocalCar();
    actor = car; // copied, then moved
    EXPECT_EQ(actor.GetLocation().y, host.world().car()->location.y);
    actor = game.GetGameEventAsServer().GetBall();
    EXPECT_EQ(actor.GetLocation().z, host.world().ball()->location.z);

    int fired = 0; // a hook registered while the event runs waits for the next one
    game.HookEvent("E",
                   [&](const std::string&) { ++fired, game.HookEvent("E", [&](const std::string&) { ++fired; }); });
    host.fireEvent("E");
    EXPECT_EQ(fired, 1);

    std::vector<CanvasWrapper> kept;
    int lateDraws = 0; // a drawable registered while the frame is drawn waits for the next one
    game.RegisterDrawable([&](CanvasWrapper canvas) {
        game.RegisterDrawable([&lateDraws](CanvasWrapper) { ++lateDraws; });
        canvas.SetColor({std::nanf(""), 0, 0, 1});
        canvas.SetColor({0, 0, 0, INFINITY});
        canvas.DrawString("scaled", INFINITY, 1);
        canvas.DrawString("after");
        kept.push_back(canvas);
    });
    host.switchTrace(true);
    host.drawFrame();
    host.switchTrace(false);
    EXPECT_EQ(lateDraws, 0);
    ASSERT_EQ(host.canvas().draws().size(), 2u);
    EXPECT_EQ(host.canvas().draws()[1].color.r, 1) << "the probe's colour, not the refused one";
    kept[0].DrawString("late");
    EXPECT_EQ(host.canvas().draws().size(), 2u);

    ASSERT_TRUE(host.unload(probe.plugin));
    EXPECT_FALSE(game.IsInFreeplay() || game.GetGameEventAsServer().object() != 0);
    cvars.registerNotifier(
        "late", [](const std::vector<std::string>&) {}, "", 0);
    EXPECT_TRUE(host.console().notifiers.empty());
    EXPECT_TRUE(cvars.registerCvar("late", "1").IsNull());
    game.RegisterDrawable([](CanvasWrapper) {});
    EXPECT_EQ(cvars.getCvar("late").getStringValue(), "");
    EXPECT_EQ(
        Lines(host.faults().reports.begin() + static_cast<std::ptrdiff_t>(reportsBefore), host.faults().reports.end()),
        (Lines{"CanvasWrapper::SetColor was handed a number that is not finite; refused",
               "CanvasWrapper::SetColor was handed a number that is not finite; refused",
               "CanvasWrapper::DrawString was handed a number that is not finite; refused",
               "plug-in 1: drawable returned still holding 1 wrapper",
               "CanvasWrapper::DrawString was called on a wrapper that holds nothing",
               "GameWrapper::IsInFreeplay was called on a wrapper that holds nothing",
               "GameWrapper::GetGameEventAsServer was called on a wrapper that holds nothing",
               "CVarManagerWrapper::registerNotifier was called on a wrapper that holds nothing",
               "CVarManagerWrapper::registerCvar was called on a wrapper that holds nothing",
               "GameWrapper::RegisterDrawable was called on a wrapper that holds nothing",
               "CVarManagerWrapper::getCvar was called on a wrapper that holds nothing",
               "CVarWrapper::getStringValue was called on a wrapper that holds nothing"}));
}

// A library whose getPlugin gives no object is refused, and its deleteMe still runs: whatever
// getPlugin set up is the library's to tear down.
TEST_F(Loader, NoPluginObjectIsRefusedAfterDeleteMeRan)
{
    const std::string mark = (std::filesystem::temp_directory_path() / "volanko-no-object-mark").string();
    std::filesystem::remove(mark);
#ifdef _WIN32
    _putenv_s("BROKEN_MARK_FILE", mark.c_str());
#else
    setenv("BROKEN_MARK_FILE", mark.c_str(), 1);
#endif
    const std::string path = brokenPlugin("no_object");
    const runtime::LoadResult result = host.load(path);
    EXPECT_EQ(result.problem, runtime::LoadProblem::NoPluginObject);
    EXPECT_EQ(arena::loadRefusal(result), path + ": createFunction gave no plug-in object");
    std::ifstream marks(mark);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(marks), {}), "deleteMe\n");
    EXPECT_FALSE(libraryIsOpen(path));
    EXPECT_TRUE(host.plugins().empty() && host.wrappersAlive() == 0);
    marks.close();
    std::filesystem::remove(mark);
}

// A second load of a loaded library is refused and leaves the first whole; once unloaded, it loads
// afresh and finds its variables where it left them.
TEST_F(Loader, OnceLoadedALibraryIsRefusedUntilUnloadedThenStartsFresh)
{
    for (int load = 0; load < 2; ++load) {
        const runtime::LoadResult loaded = host.load(VOLANKO_PLUGIN_PATH);
        ASSERT_TRUE(loaded) << arena::loadRefusal(loaded);
        EXPECT_EQ(host.load(VOLANKO_PLUGIN_PATH).problem, runtime::LoadProblem::AlreadyLoaded);
        EXPECT_EQ(host.plugins().size(), 1u);
        EXPECT_EQ(host.hooks().size() + host.drawables().size() + host.console().notifiers.size(), 4u);
        Volanko& volanko = static_cast<Volanko&>(*host.findPlugin(loaded.plugin)->plugin);
        EXPECT_EQ(volanko.bestStreak, 0);
        volanko.bestStreak = 5;
        ASSERT_TRUE(host.unload(loaded.plugin));
        EXPECT_TRUE(host.wrappersAlive() == 0 && host.plugins().empty() && host.hooks().empty() &&
                    host.drawables().empty() && host.console().notifiers.empty());
        EXPECT_FALSE(libraryIsOpen(VOLANKO_PLUGIN_PATH));
    }
    EXPECT_EQ(host.console().cvars.size(), 5u) << "variables and their values outlive the plug-in";
    EXPECT_EQ(host.console().repeatedRegistrations, 5u) << "by the reload alone";
}

struct Misbehaving {
    const char* library;                         // under tests/broken, loaded first: plug-in 1
    std::function<void(runtime::Host&)> provoke; // what makes it misbehave
    Lines reports;                               // the host's account of it
};

class Fault : public Loader, public ::testing::WithParamInterface<Misbehaving> {};

TEST_P(Fault, IsCaughtAndReportedAndVolankoBesideItRunsOn)
{
    host.driveWorld().setFreeplay(true);
    ASSERT_TRUE(host.load(brokenPlugin(GetParam().library)));
    ASSERT_TRUE(host.load(VOLANKO_PLUGIN_PATH));
    host.runCommand({"volanko_start"});
    const int64_t handles = host.wrappersAlive(); // each plug-in holds its two host handles
    GetParam().provoke(host);
    EXPECT_EQ(host.faults().reports, GetParam().reports);
    const runtime::Faults& f = host.faults();
    EXPECT_EQ(f.keptWrappers + f.nullCalls + f.nonFiniteCalls + f.callbackExceptions, GetParam().reports.size());
    EXPECT_EQ(host.world().ball()->location.x, 0) << "nothing non-finite reached the world";
    EXPECT_TRUE(host.unload(1));
    EXPECT_EQ(host.wrappersAlive(), handles - 2) << "what it kept is released with it";
    host.drawFrame();
    EXPECT_EQ(host.canvas().draws().size(), 4u);
}

void drawTwice(runtime::Host& host)
{
    host.drawFrame();
    host.drawFrame();
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, Fault,
    ::testing::Values(
        Misbehaving{"keeps_wrapper", drawTwice, Lines(2, "plug-in 1: drawable returned still holding 1 wrapper")},
        Misbehaving{"throws", drawTwice, Lines(2, "plug-in 1: drawable threw: the broken drawable gave up")},
        Misbehaving{"hands_nan",
                    [](runtime::Host& host) { host.fireEvent(runtime::kBallHitEvent); },
                    {"ActorWrapper::SetLocation was handed a number that is not finite; refused"}},
        Misbehaving{"null_call",
                    [](runtime::Host& host) {
                        host.drawFrame(); // with a camera the call is fine
                        host.driveWorld().remove(runtime::ActorKind::Camera);
                        host.drawFrame();
                        host.driveWorld().spawn(runtime::ActorKind::Camera);
                    },
                    {"ActorWrapper::SetLocation was called on a wrapper that holds nothing"}}));

// The host's destructor unloads what is still loaded, reaching an unexported deleteMe through the
// record.
TEST(HostLifetime, DestructorUnloadsWhatIsStillLoaded)
{
    const std::string hidden = brokenPlugin("missing_delete");
    {
        runtime::Host scoped{2};
        ASSERT_TRUE(scoped.load(VOLANKO_PLUGIN_PATH));
        const runtime::LoadResult loaded = scoped.load(hidden);
        ASSERT_TRUE(loaded) << arena::loadRefusal(loaded);
        EXPECT_EQ(platform::findSymbol(scoped.findPlugin(loaded.plugin)->library, "deleteMe"), nullptr);
    }
    EXPECT_FALSE(libraryIsOpen(VOLANKO_PLUGIN_PATH));
    EXPECT_FALSE(libraryIsOpen(hidden));
}

} // namespace

// What is wrong with a record, every reason in order, as values each caller words.
TEST(RecordProblems, TextsAndFunctionsInOrder)
{
    using Kind = runtime::RecordProblem::Kind;
    const auto create = reinterpret_cast<BakkesMod::Plugin::CreateFunction>(1);
    const auto destroy = reinterpret_cast<BakkesMod::Plugin::DestroyFunction>(2);
    const BakkesMod::Plugin::PluginDescriptor good{95, "a.cpp", "A", "A", "1.0", 0, create, destroy};
    EXPECT_TRUE(runtime::recordProblems(good).empty());

    const BakkesMod::Plugin::PluginDescriptor bad{94, nullptr, "A", "", "1.0", 0, nullptr, destroy};
    const runtime::ExportedEntries exported{nullptr, reinterpret_cast<const void*>(3)};
    std::vector<std::string> seen;
    for (const runtime::RecordProblem& problem : runtime::recordProblems(bad, &exported)) {
        seen.push_back(std::to_string(static_cast<int>(problem.kind)) + " " + problem.field + " " +
                       std::to_string(problem.version) + " " + problem.exportedName);
    }
    EXPECT_THAT(seen, ::testing::ElementsAre(
                          std::to_string(static_cast<int>(Kind::WrongVersion)) + " hostApiVersion 94 ",
                          std::to_string(static_cast<int>(Kind::NullText)) + " sourceFile 0 ",
                          std::to_string(static_cast<int>(Kind::EmptyText)) + " displayName 0 ",
                          std::to_string(static_cast<int>(Kind::NullFunction)) + " createFunction 0 ",
                          std::to_string(static_cast<int>(Kind::NotExported)) + " destroyFunction 0 deleteMe"));
    EXPECT_EQ(runtime::recordProblems(bad).size(), 4u); // nothing is compared with exports not looked up
}
