// The frame's canvas. A canvas wrapper is good for the frame it was made for only.

#include <cmath>

#include "bakkesmod/wrappers/canvaswrapper.h"
#include "runtime/src/call.h"

using runtime::Call;
using runtime::hostOf;

namespace {

runtime::Canvas* canvasOf(const CanvasWrapper& wrapper, Call& call)
{
    runtime::Host* host = hostOf(wrapper);
    const bool live = host && host->canvas().drawing && host->canvas().frame() == wrapper.object();
    call.self("canvas");
    if (!live) {
        call.nullReceiver();
        return nullptr;
    }
    return &runtime::HostParts::canvas(*host);
}

} // namespace

Vector2 CanvasWrapper::GetSize() const
{
    Call call(hostOf(*this), "CanvasWrapper::GetSize");
    runtime::Canvas* canvas = canvasOf(*this, call);
    return call.result(canvas ? canvas->size : Vector2{});
}

void CanvasWrapper::SetPosition(Vector2 position)
{
    Call call(hostOf(*this), "CanvasWrapper::SetPosition");
    call.arg(position);
    if (runtime::Canvas* canvas = canvasOf(*this, call)) {
        canvas->setPosition(position);
    }
}

void CanvasWrapper::SetColor(LinearColor color)
{
    Call call(hostOf(*this), "CanvasWrapper::SetColor");
    call.arg(color);
    runtime::Canvas* canvas = canvasOf(*this, call);
    if (!canvas) {
        return;
    }
    if (!std::isfinite(color.r) || !std::isfinite(color.g) || !std::isfinite(color.b) || !std::isfinite(color.a)) {
        call.nonFiniteArgument();
        return;
    }
    canvas->setColor(color);
}

void CanvasWrapper::DrawString(std::string_view text)
{
    Call call(hostOf(*this), "CanvasWrapper::DrawString");
    call.arg(text);
    if (runtime::Canvas* canvas = canvasOf(*this, call)) {
        canvas->drawString(text, 1, 1);
    }
}

void CanvasWrapper::DrawString(std::string_view text, float xScale, float yScale)
{
    Call call(hostOf(*this), "CanvasWrapper::DrawString");
    call.arg(text);
    call.arg(xScale);
    call.arg(yScale);
    runtime::Canvas* canvas = canvasOf(*this, call);
    if (!canvas) {
        return;
    }
    if (!std::isfinite(xScale) || !std::isfinite(yScale)) {
        call.nonFiniteArgument();
        return;
    }
    canvas->drawString(text, xScale, yScale);
}
