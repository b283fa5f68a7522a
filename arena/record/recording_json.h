#pragma once
// The records of a recording (docs/recording.md) as JSON documents, one function for each: numbers
// finite (a value that is not is written as 0) and texts valid UTF-8.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/canvas.h"
#include "runtime/json.h"
#include "runtime/world.h"
#include "sim/controls.h"

namespace arena {

struct RecordingHeader;

// How a session came to where its recording begins, so that it can be played again from there: the
// variables the configuration set, in order, then the console lines run (each as its words).
struct SessionSetup {
    std::vector<std::pair<std::string, std::string>> settings; // (name, text) as handed to the console
    std::vector<std::vector<std::string>> lines;
};

struct RecordedBody {
    Vector location;
    Rotator rotation;
};

// A drawn frame as the recorder keeps it.
struct RecordedFrame {
    int64_t number = -1; // -1: none
    float time = 0;
    RecordedBody car;
    RecordedBody ball;
    runtime::Contact contact = runtime::Contact::Air;
    std::vector<runtime::CanvasDraw> draws;
    Vector2 canvas;
};

// What of a frame's draws its record holds: nothing (the previous frame's), only their texts, or
// every draw in full.
enum class RecordedDraws { Unchanged, Texts, Full };

runtime::Json recordingNumber(float value); // a non-finite value becomes 0
runtime::Json recordingNumbers(std::initializer_list<float> values);
// A JSON string; bytes that are not UTF-8 each become U+FFFD, and "<" stays as it is.
runtime::Json recordingText(std::string_view text);
// {"text":...,"position":[x,y],"color":[r,g,b,a],"scale":[x,y]}
runtime::Json drawRecord(const runtime::CanvasDraw& draw);

runtime::Json headerRecord(const RecordingHeader& header, std::string_view level, int frameEvery, Vector2 canvas);
// `canvas`: whether the frame's canvas size is written (it changed).
runtime::Json frameRecord(const RecordedFrame& frame, RecordedDraws draws, bool canvas);
runtime::Json takeoffRecord(float time, const Vector& location);
runtime::Json hitRecord(float time, const Vector& location);
runtime::Json landingRecord(float time, const Vector& location, runtime::Contact contact);
runtime::Json resetRecord(float time, const Vector& location, const Vector& velocity);
runtime::Json levelRecord(float time, std::string_view level);
// A console line run before drawn frame `frame` (counted as the frame records count them).
runtime::Json lineRecord(float time, int64_t frame, std::span<const std::string> words);
// The player's car's controls from physics tick `tick` on (ticks counted from the session's start).
runtime::Json controlsRecord(float time, int64_t tick, const sim::Controls& controls);
// The held buttons as a controls record names them: "j" jump, "b" boost, "h" handbrake, in that order.
std::string buttonsText(const sim::Controls& controls);
runtime::Json endRecord(float time, int64_t frames);

} // namespace arena
