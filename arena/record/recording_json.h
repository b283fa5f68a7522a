#pragma once
// JSON texts as a recording writes them: numbers in their shortest form that reads back as the same
// float, never a non-finite one, and texts that are always valid UTF-8.

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "runtime/canvas.h"

namespace arena {

void appendNumber(std::string& out, float value);                          // a non-finite value is written as 0
void appendNumbers(std::string& out, std::initializer_list<float> values); // a JSON array
void appendRotation(std::string& out, const Rotator& rotation);            // [pitch, yaw, roll]
void appendPixels(std::string& out, Vector2 pixels);                       // [x, y]
// A JSON string; bytes that are not UTF-8 each become U+FFFD, and "<" stays as it is.
void appendText(std::string& out, std::string_view text);
// [{"text":...,"position":[x,y],"color":[r,g,b,a],"scale":[x,y]},...]
void appendDraws(std::string& out, std::span<const runtime::CanvasDraw> draws);

} // namespace arena
