#pragma once
// The canvas of one drawn frame. Valid only inside the drawable callback that received it.

#include <string_view>

#include "bakkesmod/wrappers/objectwrapper.h"
#include "bakkesmod/wrappers/values.h"

class CanvasWrapper : public ObjectWrapper {
public:
    using ObjectWrapper::ObjectWrapper;

    Vector2 GetSize() const;                // pixels
    void SetPosition(Vector2 position);     // where the next text starts, pixels
    void SetColor(LinearColor color);       // colour of the next texts, 0..255 channels
    void DrawString(std::string_view text); // at the default scale, 1 in both axes
    void DrawString(std::string_view text, float xScale, float yScale);
};
