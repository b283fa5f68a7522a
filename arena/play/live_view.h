#pragma once
// The live `play` screen on a terminal, scaled to its size: a status line, two maps of car and ball
// side by side, the pitch seen from above (length × width) and from the side (length × height),
// with a legend below them, and the texts the plug-in drew in the last frame, placed by their
// canvas positions scaled to the area below, coloured as drawn. Redrawn in place with ANSI
// escapes; without colours where the terminal is to get none.

#include <cstdint>
#include <string>
#include <vector>

#include "arena/play/run_tally.h"
#include "runtime/host.h"

namespace arena {

struct LiveStatus {
    double seconds = 0; // the length of the play, game seconds
    std::string level;  // the throw level in play
    double skill = 0;   // the autopilot's
};

class LiveView {
public:
    static constexpr int kMinColumns = 40; // below this size the view is a notice of the size it needs
    static constexpr int kMinRows = 12;

    explicit LiveView(bool colours = true) : colours_(colours) {}

    // Builds the screen for a terminal of `columns` × `rows` characters. The text returned starts
    // at the top-left corner and overwrites the screen in place.
    std::string render(const runtime::Host& host, const RunTally& tally, const LiveStatus& status, int columns,
                       int rows);

    static std::string enter(); // clears the screen and hides the cursor
    static std::string clear(); // clears the screen, after a resize
    static std::string leave(); // shows the cursor again, below the screen

private:
    void put(int row, int column, std::string_view text, uint8_t style);
    int drawStatus(const runtime::Host& host, const RunTally& tally, const LiveStatus& status); // rows used
    void drawMaps(const runtime::World& world, int top, int innerWidth, int innerHeight);
    void drawCanvas(const runtime::Host& host, int top, int height);
    std::string& notice(int columns, int rows);

    bool colours_;
    int columns_ = 0;
    int rows_ = 0;
    std::vector<char> cells_;    // rows_ × columns_ characters
    std::vector<uint8_t> style_; // per cell: bits 0-2 the ANSI colour, bit 3 coloured, bit 4 bold, bit 5 reversed
    std::string out_;            // reused from frame to frame
};

} // namespace arena
