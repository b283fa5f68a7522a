#pragma once
// Records what plug-ins draw in a frame. Buffers are kept from frame to frame, so a steady frame
// records without touching the heap.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "bakkesmod/wrappers/values.h"

namespace runtime {

// One DrawString with the canvas state it was drawn in.
struct CanvasDraw {
    Vector2 position;  // pixels, as last set by SetPosition
    LinearColor color; // as last set by SetColor
    std::string text;
    float xScale = 1; // 1 for the one-argument DrawString
    float yScale = 1;
};

enum class CanvasOpKind : uint8_t { SetPosition, SetColor, DrawString };

// One call in the order it was made; a DrawString names its entry in draws().
struct CanvasOp {
    CanvasOpKind kind;
    Vector2 position;  // SetPosition
    LinearColor color; // SetColor
    uint32_t draw = 0; // DrawString: index into draws()
};

class Canvas {
public:
    Vector2 size{1920, 1080}; // pixels; what GetSize answers

    void beginFrame();                        // forgets the last frame's calls, keeps their buffers
    uint32_t frame() const { return frame_; } // advanced by beginFrame; 0 before the first frame
    bool drawing = false;                     // true while the host runs the frame's drawables

    void setPosition(Vector2 position);
    void setColor(LinearColor color);
    void drawString(std::string_view text, float xScale, float yScale);

    std::span<const CanvasDraw> draws() const { return {draws_.data(), drawCount_}; }
    std::span<const CanvasOp> ops() const { return {ops_.data(), opCount_}; }

private:
    Vector2 position_;
    LinearColor color_{255, 255, 255, 255};
    std::vector<CanvasDraw> draws_;
    std::vector<CanvasOp> ops_;
    size_t drawCount_ = 0;
    size_t opCount_ = 0;
    uint32_t frame_ = 0;
};

} // namespace runtime
