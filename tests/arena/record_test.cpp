// Recording a session (`--record`) and embedding it in the replay page (`arena replay`), through
// the arena program.

#include <gmock/gmock.h>

#include <filesystem>

#include "arena/record/recording_json.h"
#include "platform/files.h"
#include "tests/arena/arena_program.h"

namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class Record : public ::testing::Test, public ArenaProgram {};

bool exists(const std::string& path)
{
    return platform::fileFacts(path).kind != platform::FileKind::Missing;
}

struct BrokenRecording {
    std::string name;
    std::string kind; // "refused" or "incomplete"
    std::string message;
    std::string text;
};

// The cases of broken_recordings.txt, which the page's own test reads too (its first lines say how
// they are written).
std::vector<BrokenRecording> brokenRecordings()
{
    std::vector<BrokenRecording> cases;
    std::vector<bool> newline;
    std::ifstream in(BROKEN_RECORDINGS, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("== ")) {
            cases.push_back({line.substr(3), "", "", ""});
            newline.push_back(true);
        } else if (cases.empty() || line.starts_with("#")) {
            continue;
        } else if (line.starts_with("|")) {
            cases.back().text += line.substr(1) + "\n";
        } else if (line == "no final newline") {
            newline.back() = false;
        } else if (const size_t colon = line.find(": "); colon != std::string::npos) {
            cases.back().kind = line.substr(0, colon);
            cases.back().message = line.substr(colon + 2);
        }
    }
    for (size_t i = 0; i < cases.size(); ++i) {
        if (!newline[i] && !cases[i].text.empty()) {
            cases[i].text.pop_back();
        }
    }
    return cases;
}

// The throw of the README's worked example, a hit, a level and canvas change and a landing, paused
// so that only the plug-in and the script move the car; then 14 frames of physics.
constexpr const char* kScript = "arena_freeplay 1\nvolanko_throwlevel easy\nvolanko_balllocation_x 1000\n"
                                "volanko_balllocation_y 2000\nvolanko_balllocation_z 500\nvolanko_start\n"
                                "arena_pause 1\narena_frames 1\narena_set car contact air\narena_frames 1\n"
                                "arena_hit\nvolanko_throwlevel hard\narena_canvas 1280 720\narena_frames 1\n"
                                "arena_set car contact ground\narena_frames 1\narena_pause 0\narena_frames 14\n";

TEST_F(Record, AScriptedSessionIsRecordedWithEveryEventAndTheFramesAReplayNeeds)
{
    const std::string recording = dir + "/r.jsonl";
    const Outcome outcome = run("--seed 7 script --record " + recording + " " + file("s.txt", kScript));
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    std::vector<std::string> events;
    std::vector<std::string> frames;
    std::vector<std::string> given; // the lines and controls records
    for (const std::string& line : linesOf(read(recording))) {
        const bool frame = line.find(R"("type":"frame")") != std::string::npos;
        const bool input = line.find(R"("type":"line")") != std::string::npos ||
                           line.find(R"("type":"controls")") != std::string::npos;
        (frame ? frames : input ? given : events).push_back(line);
    }
    const std::string throwFrom = R"("location":[-1000,-2000,1000],"velocity":[444.44446,888.8889,0]})";
    EXPECT_EQ(events,
              (std::vector<std::string>{
                  R"({"format":"volanko-recording","version":1,"seed":7,"level":"beginner","session":"script",)"
                  R"("plugin":{"name":"Volanko","version":"1.0"},"fps":120,"frameEvery":6,"canvas":[1920,1080],)"
                  R"("setup":{"settings":[],"lines":[]}})",
                  R"({"type":"level","time":0,"level":"easy"})",
                  R"({"type":"takeoff","time":0,"location":[0,-4608,17.01]})",
                  R"({"type":"reset","time":0,)" + throwFrom,
                  // Where the ball was when the hit fired, before the plug-in moved it.
                  R"({"type":"hit","time":0,"location":[0,0,100]})",
                  R"({"type":"reset","time":0,)" + throwFrom,
                  R"({"type":"level","time":0,"level":"hard"})",
                  R"({"type":"landing","time":0,"location":[-1000,-2000,1000],"contact":"ground"})",
                  R"({"type":"takeoff","time":0.008333334,"location":[-996.2963,-1992.5927,999.95483]})",
                  R"({"type":"reset","time":0.008333334,)" + throwFrom,
                  R"({"type":"end","time":0.11666667,"frames":18})",
              }));
    // Each line before the frame it came before; the controls once, at the first tick physics ran
    // (the pause held it back), then unchanged.
    ASSERT_EQ(given.size(), 19u);
    EXPECT_EQ(given[0], R"({"type":"line","time":0,"frame":0,"words":["arena_freeplay","1"]})");
    EXPECT_EQ(given[8], R"({"type":"line","time":0,"frame":1,"words":["arena_set","car","contact","air"]})");
    EXPECT_EQ(given[16], R"({"type":"line","time":0,"frame":4,"words":["arena_pause","0"]})");
    EXPECT_EQ(given[17], R"({"type":"line","time":0,"frame":4,"words":["arena_frames","14"]})");
    EXPECT_EQ(given[18], R"({"type":"controls","time":0,"tick":0,"axes":[0,0,0,0,0],"buttons":""})");
    // Frames 0 to 4 each follow an event; then every sixth and the last. Frame 5 only changed a text.
    std::vector<std::string> numbers;
    for (const std::string& line : frames) {
        const size_t at = line.find(R"("frame":)") + 8;
        numbers.push_back(line.substr(at, line.find(',', at) - at));
    }
    EXPECT_EQ(numbers, (std::vector<std::string>{"0", "1", "2", "3", "4", "6", "12", "17"}));
    EXPECT_EQ(frames[1],
              R"({"type":"frame","time":0,"frame":1,"car":{"location":[-1000,-2000,1000],"rotation":[0,0,0],)"
              R"("contact":"air"},"ball":{"location":[0,0,100],"rotation":[0,0,0]}})");
    // The canvas change moved the draws: written in full with the new size.
    EXPECT_THAT(frames[2], HasSubstr(R"("draws":[{"text":"Current Time: 0.000000","position":[540,690],)"
                                     R"("color":[255,255,255,255],"scale":[1,1]},)"));
    EXPECT_THAT(frames[2], EndsWith(R"(],"canvas":[1280,720]})"));
    EXPECT_THAT(frames[3],
                HasSubstr(R"({"text":"Failed!","position":[520,310],"color":[255,0,0,255],"scale":[5,5]}])"));
    EXPECT_THAT(frames[5], HasSubstr(R"("texts":["Current Time: 0.016667","Current Streak: 0","Best Streak: 1",)"));
    // The recording does not change what the session prints.
    EXPECT_EQ(outcome.out, run("--seed 7 script " + dir + "/s.txt").out);
}

TEST_F(Record, PlayRecordsFromTheLevelItPlaysAndEndsWithTheFramesDrawn)
{
    const std::string recording = dir + "/p.jsonl";
    const Outcome outcome = run("--seed 7 --no-config play --seconds 5 --level hard --record " + recording);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const std::vector<std::string> lines = linesOf(read(recording));
    EXPECT_TRUE(lines.front().starts_with(R"({"format":"volanko-recording","version":1,"seed":7,)"
                                          R"("level":"hard","session":"play",)"));
    // How the play came to its first frame: no configuration, free play, the drill and its level.
    EXPECT_THAT(lines.front(), EndsWith(R"("setup":{"settings":[],"lines":[["arena_freeplay","1"],)"
                                        R"(["volanko_start"],["volanko_throwlevel","hard"]]}})"));
    EXPECT_EQ(lines.back(), R"({"type":"end","time":5,"frames":600})");
    EXPECT_EQ(outcome.out, run("--seed 7 --no-config play --seconds 5 --level hard").out);
}

TEST_F(Record, AFileThatCannotBeWrittenFailsTheSessionWithAMessage)
{
    const std::string none = dir + "/none/r.jsonl";
    const struct {
        std::string args;
        std::string err;
    } cases[] = {
        {"--no-config play --seconds 600 --quiet --record /dev/full",
         "arena: cannot write /dev/full: No space left on device\n"},
        {"script --record /dev/full -", "arena: cannot write /dev/full: No space left on device\n"},
        {"console --record " + none, "arena: cannot write " + none + ": No such file or directory\n"},
        {"play --record", "arena: --record needs a value\n"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = run("--seed 1 " + c.args, "arena_freeplay 1\narena_frames 100000\n");
        EXPECT_EQ(outcome.status, c.args.ends_with("--record") ? 2 : 1) << c.args;
        EXPECT_TRUE(outcome.err.starts_with(c.err)) << c.args << ": " << outcome.err;
    }
    // The header is written at once: a play into a full disk stops before its first frame.
    EXPECT_THAT(run("--seed 1 --no-config play --seconds 600 --quiet --record /dev/full").out,
                StartsWith("runs                    0\nhits                    0\n"));
}

// By any name that leads to it, and whatever the user says: the file stays as it was.
TEST_F(Record, NeverIntoAFileTheSessionReadsEvenWithForce)
{
    const std::string plugin = file("copy" PLUGIN_SUFFIX, read(VOLANKO_PLUGIN_PATH));
    const std::string config = file("same.cfg", "volanko_throwlevel \"easy\"\n");
    const std::string script = file("scr.txt", "arena_freeplay 1\narena_frames 1\n");
    ASSERT_TRUE(std::filesystem::create_directory(dir + "/sub"));
    const std::string roundabout = dir + "/sub/../scr.txt";
    const std::string later = dir + "/later.cfg"; // made by the session's save, were it not refused
    const std::string input = dir + "/stdin";     // the harness's file for standard input
    const struct {
        std::string args;
        std::string path;
        std::string what;
    } cases[] = {
        {"--plugin " + plugin + " --no-config play --quiet --seconds 1 --record " + plugin, plugin,
         "the plug-in library the session loads"},
        {"--config " + config + " script --record " + config + " " + script, config,
         "the configuration file the session reads and saves"},
        {"--config " + later + " script --record " + later + " " + script, later,
         "the configuration file the session reads and saves"},
        {"--no-config script --record " + script + " " + script, script, "the script the session runs"},
        {"--no-config script --record " + roundabout + " " + script, roundabout, "the script the session runs"},
        {"--no-config script --record " + input + " -", input, "the session's standard input"},
        {"--no-config console --record " + input, input, "the session's standard input"},
    };
    for (const auto& c : cases) {
        for (const std::string force : {"", "--force "}) {
            const bool existed = exists(c.path);
            const std::string before = read(c.path);
            const Outcome outcome = run("--seed 1 " + force + c.args, "arena_freeplay 1\n");
            EXPECT_EQ(outcome.status, 2) << force << c.args;
            EXPECT_EQ(outcome.err, "arena: will not record into " + c.path + ": it is " + c.what + "\n")
                << force << c.args;
            EXPECT_EQ(exists(c.path), existed) << force << c.args;
            EXPECT_EQ(read(c.path), before) << force << c.args;
        }
    }
}

TEST_F(Record, AnExistingFileIsReplacedOnlyWithForce)
{
    const std::string kept = file("keep.jsonl", "kept\n");
    const std::string lines = "arena_freeplay 1\narena_frames 1\n";
    const Outcome refused = run("--seed 1 --no-config script --record " + kept + " -", lines);
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "arena: will not replace " + kept + ": it exists (--force lets the recording replace it)\n");
    EXPECT_EQ(read(kept), "kept\n");
    for (const std::string& args : {"--force --seed 1 --no-config script --record " + kept + " -",
                                    "--seed 1 --no-config script --record " + kept + " - --force"}) {
        file("keep.jsonl", "kept\n");
        const Outcome forced = run(args, lines);
        EXPECT_EQ(forced.status, 0) << args << ": " << forced.err;
        EXPECT_THAT(read(kept), StartsWith(R"({"format":"volanko-recording")")) << args;
        EXPECT_THAT(read(kept), EndsWith("\"frames\":1}\n")) << args;
    }
}

TEST_F(Record, ASessionRefusedBeforeItStartsLeavesEveryFileAsItWas)
{
    const std::string kept = file("keep.jsonl", "a recording kept\n");
    const std::string made = dir + "/made.jsonl";
    const std::string noDrill = "--plugin " BROKEN_PLUGIN_DIR "/libbroken_keeps_wrapper" PLUGIN_SUFFIX;
    const std::string missing = dir + "/none.txt";
    const struct {
        std::string args;
        int status;
        std::string err;
    } cases[] = {
        {noDrill + " --no-config --force play --quiet --record " + kept, 1, "arena play: volanko_start: "},
        {noDrill + " --no-config play --quiet --record " + made, 1, "arena play: volanko_start: "},
        {"--no-config --force script --record " + kept + " " + missing, 2, "arena: cannot read " + missing + ": "},
        {"--no-config script --record " + made + " " + missing, 2, "arena: cannot read " + missing + ": "},
    };
    for (const auto& c : cases) {
        const Outcome outcome = run("--seed 1 " + c.args);
        EXPECT_EQ(outcome.status, c.status) << c.args;
        EXPECT_THAT(outcome.err, StartsWith(c.err)) << c.args;
        EXPECT_EQ(read(kept), "a recording kept\n") << c.args;
        EXPECT_FALSE(exists(made)) << c.args;
    }
}

TEST(RecordingJson, TextsAreValidUtf8AndNumbersFinite)
{
    const struct {
        std::string text;
        std::string json;
    } cases[] = {
        {"Failed!", R"("Failed!")"},
        {"</script>\"\n", R"("</script>\"\n")"},
        {"\xc3\xa9\xe2\x82\xac\xf0\x9f\x9a\x97", "\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x9a\x97\""},
        {"\xff\xfe", "\"\xef\xbf\xbd\xef\xbf\xbd\""},
        {"a\xc3", "\"a\xef\xbf\xbd\""},                               // cut short
        {"\xc0\xaf", "\"\xef\xbf\xbd\xef\xbf\xbd\""},                 // overlong
        {"\xed\xa0\x80", "\"\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\""}, // a surrogate
    };
    for (const auto& c : cases) {
        EXPECT_EQ(runtime::jsonText(arena::recordingText(c.text)), c.json);
    }
    const runtime::Json numbers = arena::recordingNumbers(
        {0.1f, -0.0f, 1e30f, std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::infinity()});
    EXPECT_EQ(runtime::jsonText(numbers), "[0.1,-0,1e+30,0,0]");
}

TEST_F(Record, ReplayWritesThePageBesideTheRecordingOrSaysWhy)
{
    const std::string recording = file("s.jsonl", kRecording);
    const std::string page = file("page.html", "<p><!--VOLANKO-RECORDING--></p>");
    const Outcome made = run("replay --page " + page + " " + recording);
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.out, recording + ".html\n");
    std::string embedded = kRecording;
    embedded.replace(embedded.find("<b>"), 1, "\\u003c");
    EXPECT_EQ(read(recording + ".html"), "<p>" + embedded + "</p>");

    const std::string own = recording + ".html";
    const std::string notes = file("notes.txt", "eggs\n");
    const std::string twice = file("twice.html", "<!--VOLANKO-RECORDING--><!--VOLANKO-RECORDING-->");
    const struct {
        std::string args;
        std::string err;
    } cases[] = {
        {"replay --page " + page + " " + notes, "arena replay: cannot replay " + notes +
                                                    ": line 1: this is not a Volanko recording: the first line "
                                                    "is not a JSON header\n"},
        {"replay --page " + dir + "/none.html " + recording,
         "arena replay: cannot read the replay page " + dir +
             "/none.html: No such file or directory\nBuild it with Node.js 20.19 or newer and npm: configure with "
             "-DVOLANKO_WEB=ON and build, or run: cd web && npm ci && npm run build\n"},
        {"replay --page " + notes + " " + recording,
         "arena replay: " + notes + ": the page has no place for a recording (no <!--VOLANKO-RECORDING-->)\n"},
        {"replay --page " + twice + " " + recording,
         "arena replay: " + twice + ": the page has more than one <!--VOLANKO-RECORDING-->\n"},
        {"replay --page " + page + " " + dir + "/none.jsonl",
         "arena replay: cannot read " + dir + "/none.jsonl: No such file or directory\n"},
        // What it is rather than what it is not.
        {"replay --page " + page + " " + dir, "arena replay: cannot read " + dir + ": it is a directory\n"},
        {"replay --page " + dir + " " + recording,
         "arena replay: cannot read the replay page " + dir + ": it is a directory\n"},
    };
    const std::string written = read(own);
    for (const auto& c : cases) {
        const Outcome outcome = run(c.args);
        EXPECT_EQ(outcome.status, 1) << c.args;
        EXPECT_EQ(outcome.err, c.err);
    }
    EXPECT_EQ(read(own), written);
    // The page it would write is the page it reads: that stays as it was.
    file("s.jsonl.html", "<!--VOLANKO-RECORDING-->");
    const Outcome onItself = run("replay --page " + own + " " + recording);
    EXPECT_EQ(onItself.status, 1);
    EXPECT_EQ(onItself.err, "arena replay: will not write " + own + ": it is the replay page\n");
    EXPECT_EQ(read(own), "<!--VOLANKO-RECORDING-->");
    EXPECT_EQ(run("replay").err,
              "arena: replay needs a recording FILE\nRun \"arena --help\" for the commands and options.\n");
}

// One set of rules with the page: what its reader refuses, `arena replay` refuses in its words.
TEST_F(Record, ReplayRefusesWhatThePageRefusesInItsWords)
{
    const std::string page = file("page.html", "<!--VOLANKO-RECORDING-->");
    const std::vector<BrokenRecording> cases = brokenRecordings();
    ASSERT_GE(cases.size(), 30u);
    for (const BrokenRecording& c : cases) {
        const std::string recording = file("case.jsonl", c.text);
        const Outcome outcome = run("replay --page " + page + " " + recording);
        const bool refused = c.kind == "refused";
        EXPECT_EQ(outcome.status, refused ? 1 : 0) << c.name;
        EXPECT_EQ(outcome.err, refused ? "arena replay: cannot replay " + recording + ": " + c.message + "\n"
                                       : "arena replay: note: " + recording + " is incomplete: " + c.message + "\n")
            << c.name;
    }
}

} // namespace
