// A session played again from its recording (`arena rerun`), through the arena program: what a
// session was given is enough to get the same recording, byte for byte, and any change to it shows.

#include <gmock/gmock.h>

#include <algorithm>

#include "tests/arena/arena_program.h"

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class Rerun : public ::testing::Test, public ArenaProgram {
protected:
    // The line of `text` that `rerun` reports as the same.
    static std::string sameLine(const std::string& recording, const std::string& text, size_t frames, size_t controls)
    {
        return recording + ": the same " + std::to_string(linesOf(text).size()) + " lines, byte for byte, from " +
               std::to_string(frames) + " frames and " + std::to_string(controls) + " controls records played again\n";
    }
    static size_t countOf(const std::string& text, const std::string& type)
    {
        const std::vector<std::string> lines = linesOf(text);
        return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.find("\"type\":\"" + type + "\"") != std::string::npos;
        }));
    }
};

// A play at a frame rate that is not a whole share of the ticks, from a configuration with a value
// the plug-in refuses; a script that drives the car itself and moves the ball; a console: each plays again
// to the same bytes, and the recording still replays.
TEST_F(Rerun, EverySessionKindPlaysAgainByteForByte)
{
    const std::string config = file("arena.cfg", "volanko_balllocation_z \"(800, 1200)\"\nvolanko_throwlevel \"pro\"\n"
                                                 "volanko_throwplayer \"bogus\"\n");
    const std::string played = dir + "/play.jsonl";
    ASSERT_EQ(run("--seed 11 --fps 50 --config " + config + " play --seconds 20 --quiet --record " + played).status, 0);
    const std::string script =
        file("s.txt", "arena_freeplay 1\nvolanko_start\narena_frames 100\narena_controls 50 throttle 1 boost\n"
                      "arena_frames 30\narena_set ball location 0 0 500\narena_frames 200\narena_controls 90 "
                      "pitch 0.5 roll -0.25 jump\narena_frames 120\nvolanko_throwlevel hard\narena_frames 300\n");
    const std::string scripted = dir + "/script.jsonl";
    ASSERT_EQ(run("--seed 3 script --record " + scripted + " " + script).status, 0);

    // Typed lines, the autopilot on for a while: its controls are the recording's, its choices
    // never made again.
    const std::string typed = dir + "/console.jsonl";
    ASSERT_EQ(run("--seed 4 --no-config console --record " + typed,
                  "arena_freeplay 1\nvolanko_start\narena_autopilot 1\narena_frames 600\narena_autopilot 0\n"
                  "arena_frames 100\n")
                  .status,
              0);

    for (const std::string& recording : std::vector{played, scripted, typed}) {
        const std::string text = read(recording);
        const Outcome again = run("rerun " + recording);
        EXPECT_EQ(again.status, 0) << again.err;
        EXPECT_EQ(again.err, "");
        const size_t frames = recording == played ? 1000 : recording == scripted ? 750 : 700;
        EXPECT_EQ(again.out, sameLine(recording, text, frames, countOf(text, "controls")));
        EXPECT_EQ(read(recording), text);
        const std::string page = file("page.html", "<!--VOLANKO-RECORDING-->");
        const Outcome replayed = run("replay --page " + page + " " + recording);
        EXPECT_EQ(replayed.status, 0) << replayed.err;
        EXPECT_EQ(replayed.err, "");
    }
    // The script's controls as the ticks got them: a hold, the car's own at rest again, the second hold.
    const std::string text = read(scripted);
    EXPECT_THAT(text, HasSubstr(R"({"type":"controls","time":0.8333333,"tick":100,"axes":[1,0,0,0,0],)"
                                R"("buttons":"b"})"));
    EXPECT_THAT(text, HasSubstr(R"("tick":150,"axes":[0,0,0,0,0],"buttons":""})"));
    EXPECT_THAT(text, HasSubstr(R"("tick":330,"axes":[0,0,0.5,0,-0.25],"buttons":"j"})"));
}

// One control changed in the file moves the car from that tick on: the first frame drawn after it
// is where the two part, and rerun says so with both lines.
TEST_F(Rerun, AChangedControlShowsAtTheFirstFrameItMoved)
{
    const std::string recording = dir + "/play.jsonl";
    ASSERT_EQ(run("--seed 7 --no-config play --seconds 10 --quiet --record " + recording).status, 0);
    std::vector<std::string> lines = linesOf(read(recording));
    size_t changed = 0;
    for (size_t i = 0; i < lines.size() && changed == 0; ++i) {
        if (lines[i].find(R"("type":"controls")") != std::string::npos &&
            lines[i].find(R"("buttons":"b")") != std::string::npos) {
            changed = i;
            lines[i].replace(lines[i].find(R"("buttons":"b")"), 13, R"("buttons":"")");
        }
    }
    ASSERT_NE(changed, 0u);
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    file("play.jsonl", text);
    const Outcome again = run("rerun " + recording);
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.out, "");
    const std::vector<std::string> said = linesOf(again.err);
    ASSERT_EQ(said.size(), 3u) << again.err;
    EXPECT_THAT(said[0], StartsWith("arena rerun: " + recording + " and its re-simulation differ at line "));
    const size_t line = std::stoul(said[0].substr(said[0].rfind(' ') + 1));
    ASSERT_GT(line, changed + 1);
    ASSERT_LE(line, lines.size());
    // The frame record right after the change: nothing before it could have moved.
    EXPECT_THAT(lines[line - 1], StartsWith(R"({"type":"frame")"));
    for (size_t i = changed + 1; i + 1 < line; ++i) {
        EXPECT_THAT(lines[i], Not(StartsWith(R"({"type":"frame")"))) << i;
    }
    EXPECT_THAT(said[1], StartsWith("  recorded:     ..."));
    EXPECT_THAT(said[2], StartsWith("  re-simulated: ..."));
    EXPECT_NE(said[1].substr(16), said[2].substr(16));
}

TEST_F(Rerun, RefusesWhatItCannotPlayAgainInItsWords)
{
    const std::string recording = dir + "/s.jsonl";
    ASSERT_EQ(
        run("--seed 5 script --record " + recording + " " + file("s.txt", "arena_freeplay 1\narena_frames 3\n")).status,
        0);
    const std::vector<std::string> lines = linesOf(read(recording));
    ASSERT_EQ(lines.size(), 7u); // the header, two lines, the controls, two frames and the end
    int made = 0;
    std::vector<std::string> cannot; // the message's start for each file `without` made
    const auto without = [&](size_t skipped, const std::string& instead = "") {
        std::string text;
        for (size_t i = 0; i < lines.size(); ++i) {
            text += i == skipped ? instead : lines[i] + "\n";
        }
        const std::string path = file("broken" + std::to_string(made++) + ".jsonl", text);
        cannot.push_back("arena rerun: cannot play " + path + " again: ");
        return path;
    };
    const struct {
        std::string path;
        std::string err;
    } cases[] = {
        {file("old.jsonl", kRecording), "arena rerun: cannot play " + dir +
                                            "/old.jsonl again: its header has no \"setup\": it was written before "
                                            "recordings kept what their session was given, so it cannot be played "
                                            "again\n"},
        {without(6),
         cannot[0] + "it has no \"end\" record: only a session that finished writing can be played again\n"},
        {without(3, R"({"type":"controls","time":0,"tick":0,"axes":[0,0,2,0,0],"buttons":""})"
                    "\n"),
         cannot[1] + "line 4: \"axes\" should be 5 numbers from -1 to 1\n"},
        {without(3, R"({"type":"controls","time":0,"tick":0,"axes":[0,0,0,0,0],"buttons":"bj"})"
                    "\n"),
         cannot[2] + "line 4: \"buttons\" should be the held buttons' letters in the order \"jbh\"\n"},
        {without(2, R"({"type":"line","time":0,"frame":-1,"words":["arena_frames","3"]})"
                    "\n"),
         cannot[3] + "line 3: \"frame\" should be a whole number from 0\n"},
        {without(2, R"({"type":"line","time":0,"frame":0,"words":[]})"
                    "\n"),
         cannot[4] + "line 3: \"words\" should be an array of texts, the line's words\n"},
        // What the replay page refuses, rerun refuses in the page's words.
        {without(0, "{}\n"), cannot[5] + "line 1: this is not a Volanko recording: the header's \"format\" should be "
                                         "\"volanko-recording\", found missing\n"},
        {dir, "arena rerun: cannot read " + dir + ": it is a directory\n"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = run("rerun " + c.path);
        EXPECT_EQ(outcome.status, 1) << c.path;
        EXPECT_EQ(outcome.err, c.err) << read(c.path);
        EXPECT_EQ(outcome.out, "");
    }
    for (const std::string option : {"--seed 1", "--fps 60", "--no-config", "--config x.cfg", "--force"}) {
        const Outcome outcome = run(option + " rerun " + recording);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_EQ(outcome.err, "arena: rerun takes the seed, the frame rate and the settings from the recording, "
                               "not " +
                                   option.substr(0, option.find(' ')) +
                                   "\nRun \"arena --help\" for the commands and options.\n");
    }
    EXPECT_EQ(run("rerun " + recording + " " + recording).err, "arena: rerun takes one file, not also \"" + recording +
                                                                   "\"\nRun \"arena --help\" for the commands and "
                                                                   "options.\n");
}

} // namespace
