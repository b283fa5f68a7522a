#include "runtime/canvas.h"

#include <string>

namespace runtime {

void Canvas::beginFrame()
{
    ++frame_;
    drawCount_ = 0;
    opCount_ = 0;
    position_ = {};
    color_ = {255, 255, 255, 255};
}

namespace {

// A slot grows only in a frame that draws more than any before it; out of line, so that the
// steady path (a count and an index) is inlined into every drawing call.
template <class T> [[gnu::noinline, gnu::cold]] void grow(std::vector<T>& items)
{
    items.emplace_back();
}

template <class T> T& nextSlot(std::vector<T>& items, size_t& count)
{
    if (count == items.size()) {
        grow(items);
    }
    return items[count++];
}

} // namespace

void Canvas::setPosition(Vector2 position)
{
    position_ = position;
    CanvasOp& op = nextSlot(ops_, opCount_);
    op = {CanvasOpKind::SetPosition, position, {}, 0};
}

void Canvas::setColor(LinearColor color)
{
    color_ = color;
    CanvasOp& op = nextSlot(ops_, opCount_);
    op = {CanvasOpKind::SetColor, {}, color, 0};
}

void Canvas::drawString(std::string_view text, float xScale, float yScale)
{
    const auto index = static_cast<uint32_t>(drawCount_);
    CanvasDraw& draw = nextSlot(draws_, drawCount_);
    draw.position = position_;
    draw.color = color_;
    // The slot's text from earlier frames is reused: a HUD draws the same lengths frame after
    // frame, and a copy over them skips assign's general path (the most frequent call of a frame).
    if (draw.text.size() == text.size()) {
        std::char_traits<char>::move(draw.text.data(), text.data(), text.size());
    } else {
        draw.text.assign(text);
    }
    draw.xScale = xScale;
    draw.yScale = yScale;
    CanvasOp& op = nextSlot(ops_, opCount_);
    op = {CanvasOpKind::DrawString, {}, {}, index};
}

} // namespace runtime
