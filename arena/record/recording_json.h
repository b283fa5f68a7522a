#pragma once
// The records of a recording (docs/recording.md) as JSON documents, one function for each: numbers
// finite (a value that is not is written as 0) and texts valid UTF-8.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

#include "runtime/canvas.h"
#include "runtime/json.h"
#include "runtime/world.h"

namespace arena {

struct RecordingHeader;

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
runtime::Json endRecord(float time, int64_t frames);

} // namespace arena
