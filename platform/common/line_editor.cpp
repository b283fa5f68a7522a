#include "platform/line_editor.h"

namespace platform {

bool LineEditor::readPlain(std::string& line)
{
    bool any = false;
    for (int c = std::getc(in_); c != EOF; c = std::getc(in_)) {
        any = true;
        if (c == '\n') {
            return true;
        }
        line += static_cast<char>(c);
    }
    return any;
}

} // namespace platform
