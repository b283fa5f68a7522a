#include "live_view.h"

#include <sys/ioctl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "physics.h"

namespace arena {

namespace {

constexpr uint8_t kColoured = 8;
constexpr uint8_t kBold = 16;
constexpr uint8_t kReverse = 32;
constexpr int kMapWidth = 25; // inside the border: along y, the pitch's length
constexpr int kMapHeight = 9; // inside the border: along x

// The nearest of the eight ANSI colours; white (and anything unreadable) keeps the default.
uint8_t styleOf(const LinearColor& color)
{
    const int code = (color.r >= 128 ? 1 : 0) + (color.g >= 128 ? 2 : 0) + (color.b >= 128 ? 4 : 0);
    return code == 7 || code == 0 ? 0 : static_cast<uint8_t>(kColoured | code);
}

int scaled(int64_t value, int64_t from, int to)
{
    if (from <= 0) {
        return 0;
    }
    return static_cast<int>(std::clamp<int64_t>(value * to / from, 0, to - 1));
}

} // namespace

void terminalSize(int fd, int& columns, int& rows)
{
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
        columns = size.ws_col;
        rows = size.ws_row;
        return;
    }
    columns = 80;
    rows = 24;
}

std::string LiveView::enter()
{
    return "\x1b[?25l\x1b[2J\x1b[H";
}

std::string LiveView::leave()
{
    return "\x1b[0m\x1b[?25h\r\n";
}

void LiveView::put(int row, int column, std::string_view text, uint8_t style)
{
    if (row < 0 || row >= rows_) {
        return;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const int at = column + static_cast<int>(i);
        if (at < 0 || at >= columns_) {
            continue;
        }
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t cell = static_cast<size_t>(row) * static_cast<size_t>(columns_) + static_cast<size_t>(at);
        cells_[cell] = c >= 0x20 && c < 0x7f ? static_cast<char>(c) : '?';
        style_[cell] = style;
    }
}

void LiveView::drawMap(const host::World& world, int top, int left)
{
    std::string line = "+";
    line.append(kMapWidth, '-');
    line += '+';
    put(top, left, line, 0);
    put(top + kMapHeight + 1, left, line, 0);
    for (int r = 1; r <= kMapHeight; ++r) {
        put(top + r, left, "|", 0);
        put(top + r, left + kMapWidth + 1, "|", 0);
        // The half-way line.
        put(top + r, left + 1 + kMapWidth / 2, ":", 0);
    }
    // Screen right is +y (the length of the pitch), screen down is +x.
    const auto mark = [&](const host::Actor* actor, char symbol, uint8_t style) {
        if (!actor) {
            return;
        }
        const double across = (actor->location.y + kBackWallY) / (2 * kBackWallY);
        const double down = (actor->location.x + kSideWallX) / (2 * kSideWallX);
        const int c = std::clamp(static_cast<int>(across * kMapWidth), 0, kMapWidth - 1);
        const int r = std::clamp(static_cast<int>(down * kMapHeight), 0, kMapHeight - 1);
        const size_t cell =
            static_cast<size_t>(top + 1 + r) * static_cast<size_t>(columns_) + static_cast<size_t>(left + 1 + c);
        const bool taken =
            top + 1 + r < rows_ && left + 1 + c < columns_ && (cells_[cell] == 'C' || cells_[cell] == 'c');
        put(top + 1 + r, left + 1 + c, taken ? "*" : std::string_view(&symbol, 1), style);
    };
    const host::Actor* car = world.car();
    const host::Actor* ball = world.ball();
    mark(car, car && car->contact == host::Contact::Air ? 'C' : 'c', kColoured | 4 | kBold);
    mark(ball, 'O', kColoured | 3 | kBold);

    char text[96];
    if (car) {
        std::snprintf(text, sizeof text, "C car  height %5.0f  %s", static_cast<double>(car->location.z),
                      host::contactName(car->contact));
        put(top + kMapHeight + 2, left, text, 0);
    }
    if (ball) {
        std::snprintf(text, sizeof text, "O ball height %5.0f", static_cast<double>(ball->location.z));
        put(top + kMapHeight + 3, left, text, 0);
    }
}

void LiveView::drawCanvas(const host::Host& host)
{
    const Vector2 size = host.canvas.size;
    const auto draws = host.canvas.draws();
    // Texts at the same canvas x form a column; a column starts at its scaled position, or past the
    // widest text of the column before it, so that a narrow terminal never overlaps them.
    int64_t previousX = 0;
    int previousEnd = -2;
    bool any = false;
    for (;;) {
        int64_t x = 0;
        bool found = false;
        for (const host::CanvasDraw& draw : draws) {
            const bool plain = draw.xScale == 1 && draw.yScale == 1;
            if (plain && (!any || draw.position.x > previousX) && (!found || draw.position.x < x)) {
                x = draw.position.x;
                found = true;
            }
        }
        if (!found) {
            break;
        }
        const int start = std::max(scaled(x, size.x, columns_), previousEnd + 2);
        int width = 0;
        for (const host::CanvasDraw& draw : draws) {
            if (draw.xScale == 1 && draw.yScale == 1 && draw.position.x == x) {
                put(scaled(draw.position.y, size.y, rows_), start, draw.text, styleOf(draw.color));
                width = std::max(width, static_cast<int>(draw.text.size()));
            }
        }
        previousX = x;
        previousEnd = start + width;
        any = true;
    }
    // Scaled texts (the banner) stand out: bold and reversed, where they were drawn.
    for (const host::CanvasDraw& draw : draws) {
        if (draw.xScale != 1 || draw.yScale != 1) {
            std::string text = " ";
            text += draw.text;
            text += ' ';
            put(scaled(draw.position.y, size.y, rows_), scaled(draw.position.x, size.x, columns_), text,
                static_cast<uint8_t>(styleOf(draw.color) | kBold | kReverse));
        }
    }
}

std::string LiveView::render(const host::Host& host, const RunTally& tally, const LiveStatus& status, int columns,
                             int rows)
{
    columns_ = std::max(columns, 20);
    rows_ = std::max(rows, 8);
    cells_.assign(static_cast<size_t>(columns_) * static_cast<size_t>(rows_), ' ');
    style_.assign(cells_.size(), 0);

    char text[160];
    std::snprintf(text, sizeof text, "arena play   %.1f / %.0f s   level %s   skill %.2f   runs %d   hits %d   best %d",
                  host.world.clock, status.seconds, status.level.c_str(), status.skill, tally.runs(), tally.hits(),
                  tally.bestStreak());
    put(0, 0, text, kBold);
    put(rows_ - 1, 0, "Ctrl-C stops", 0);
    drawMap(host.world, 2, 0);
    drawCanvas(host);

    out_ = "\x1b[H";
    for (int r = 0; r < rows_; ++r) {
        uint8_t current = 0;
        for (int c = 0; c < columns_; ++c) {
            const size_t cell = static_cast<size_t>(r) * static_cast<size_t>(columns_) + static_cast<size_t>(c);
            if (style_[cell] != current) {
                current = style_[cell];
                out_ += "\x1b[0m";
                if (current & kBold) {
                    out_ += "\x1b[1m";
                }
                if (current & kReverse) {
                    out_ += "\x1b[7m";
                }
                if (current & kColoured) {
                    out_ += "\x1b[3";
                    out_ += static_cast<char>('0' + (current & 7));
                    out_ += 'm';
                }
            }
            out_ += cells_[cell];
        }
        out_ += "\x1b[0m";
        if (r + 1 < rows_) {
            out_ += "\r\n";
        }
    }
    return out_;
}

} // namespace arena
