#include "arena/play/live_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>

#include "sim/physics.h"

namespace arena {

namespace {

constexpr uint8_t kColoured = 8;
constexpr uint8_t kBold = 16;
constexpr uint8_t kReverse = 32;
constexpr uint8_t kCarStyle = kColoured | 4 | kBold;
constexpr uint8_t kBallStyle = kColoured | 3 | kBold;
constexpr int kMapGap = 2; // columns between the two maps
// Rows kept for the plug-in's HUD on a short terminal: its banner and its two lines of figures.
constexpr int kMinHudRows = 3;
// Map cells per character row: a character is about twice as tall as wide, and the pitch is
// 1.25 times longer than wide. The view from above is never taller than that shape; the one from
// the side takes the same rows, its height stretched.
constexpr double kMapAspect = 2.5;
constexpr std::string_view kSymbols = "C car flying, c landed, O ball, * both"; // the legend's first field

// The nearest of the eight ANSI colours; white (and anything unreadable) keeps the default.
uint8_t styleOf(const LinearColor& color)
{
    const int code = (color.r >= 128 ? 1 : 0) + (color.g >= 128 ? 2 : 0) + (color.b >= 128 ? 4 : 0);
    return code == 7 || code == 0 ? 0 : static_cast<uint8_t>(kColoured | code);
}

int scaled(int64_t value, int64_t from, int to)
{
    if (from <= 0 || to <= 0) {
        return 0;
    }
    return static_cast<int>(std::clamp<int64_t>(value * to / from, 0, to - 1));
}

bool plain(const runtime::CanvasDraw& draw)
{
    return draw.xScale == 1 && draw.yScale == 1;
}

// Fields joined by `gap` into as few lines as `width` allows; a field wider than that has a line
// of its own.
std::vector<std::string> packed(const std::vector<std::string>& fields, int width, std::string_view gap)
{
    std::vector<std::string> lines;
    for (const std::string& field : fields) {
        if (lines.empty() || lines.back().size() + gap.size() + field.size() > static_cast<size_t>(width)) {
            lines.push_back(field);
        } else {
            lines.back() += gap;
            lines.back() += field;
        }
    }
    return lines;
}

// `text` in lines of at most `width` characters, broken between words; only a word wider than the
// terminal itself is cut.
std::vector<std::string> wrapped(std::string_view text, int width)
{
    const auto size = static_cast<size_t>(std::max(1, width));
    std::vector<std::string> pieces;
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find(' ', at), text.size());
        for (size_t piece = at; piece < end; piece += size) {
            pieces.emplace_back(text.substr(piece, std::min(size, end - piece)));
        }
        at = end + 1;
    }
    return packed(pieces, static_cast<int>(size), " ");
}

// Where in [0, cells) a fraction of a map's side falls; a position that is no number is nowhere.
std::optional<int> cellOf(double fraction, int cells)
{
    if (!std::isfinite(fraction)) {
        return std::nullopt;
    }
    return std::clamp(static_cast<int>(std::clamp(fraction, 0.0, 1.0) * cells), 0, cells - 1);
}

} // namespace

std::string LiveView::enter()
{
    return "\x1b[?25l\x1b[2J\x1b[H";
}

std::string LiveView::clear()
{
    return "\x1b[0m\x1b[2J\x1b[H";
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

int LiveView::drawStatus(const runtime::Host& host, const RunTally& tally, const LiveStatus& status)
{
    char texts[7][64];
    std::snprintf(texts[0], sizeof texts[0], "arena play");
    std::snprintf(texts[1], sizeof texts[1], "time %.1f / %g s", host.world().clock, status.seconds);
    std::snprintf(texts[2], sizeof texts[2], "level %.40s", status.level.c_str());
    std::snprintf(texts[3], sizeof texts[3], "skill %.2f", status.skill);
    std::snprintf(texts[4], sizeof texts[4], "runs %d", tally.runs());
    std::snprintf(texts[5], sizeof texts[5], "hits %d", tally.hits());
    std::snprintf(texts[6], sizeof texts[6], "best %d", tally.bestStreak());
    const std::vector<std::string> lines = packed({std::begin(texts), std::end(texts)}, columns_, "  ");
    for (size_t row = 0; row < lines.size(); ++row) {
        put(static_cast<int>(row), 0, lines[row], kBold);
    }
    return static_cast<int>(lines.size());
}

void LiveView::drawMaps(const runtime::World& world, int top, int innerWidth, int innerHeight)
{
    const runtime::Actor* car = world.car();
    const runtime::Actor* ball = world.ball();
    const char carSymbol = car && car->contact == runtime::Contact::Air ? 'C' : 'c';
    // Both maps have the pitch's length left to right, at one scale: a column is one place along it
    // in either. Screen down is +x from above, and down from the ceiling from the side.
    const auto drawOne = [&](int left, std::string_view title, double (*down)(const runtime::Actor&)) {
        std::string border = "+";
        border.append(static_cast<size_t>(innerWidth), '-');
        border += '+';
        put(top, left, border, 0);
        put(top + innerHeight + 1, left, border, 0);
        put(top, left + 2, title.substr(0, static_cast<size_t>(std::max(0, innerWidth - 2))), 0);
        for (int r = 1; r <= innerHeight; ++r) {
            put(top + r, left, "|", 0);
            put(top + r, left + innerWidth + 1, "|", 0);
            put(top + r, left + 1 + innerWidth / 2, ":", 0); // the half-way line
        }
        const auto mark = [&](const runtime::Actor* actor, char symbol, uint8_t style) {
            if (!actor) {
                return;
            }
            const auto column = cellOf((actor->location.y + sim::kBackWallY) / (2.0 * sim::kBackWallY), innerWidth);
            const auto row = cellOf(down(*actor), innerHeight);
            if (!column || !row) {
                return;
            }
            const int r = top + 1 + *row;
            const int c = left + 1 + *column;
            const size_t cell = static_cast<size_t>(r) * static_cast<size_t>(columns_) + static_cast<size_t>(c);
            const bool taken = r < rows_ && c < columns_ && (cells_[cell] == 'C' || cells_[cell] == 'c');
            put(r, c, taken ? "*" : std::string_view(&symbol, 1), style);
        };
        mark(car, carSymbol, kCarStyle);
        mark(ball, 'O', kBallStyle);
    };
    drawOne(0, " from above ",
            [](const runtime::Actor& actor) { return (actor.location.x + sim::kSideWallX) / (2.0 * sim::kSideWallX); });
    drawOne(innerWidth + 2 + kMapGap, " from the side ",
            [](const runtime::Actor& actor) { return 1.0 - actor.location.z / static_cast<double>(sim::kCeilingZ); });
}

void LiveView::drawCanvas(const runtime::Host& host, int top, int height)
{
    const Vector2 size = host.canvas().size;
    const auto draws = host.canvas().draws();
    // Each canvas height drawn at gets its own row, in order, as near its scaled place as the rows
    // allow, so that texts on neighbouring lines never land on one row of a short area.
    std::map<int64_t, int> rowOf;
    for (const runtime::CanvasDraw& draw : draws) {
        rowOf[draw.position.y] = 0;
    }
    int previous = -1;
    for (auto& [y, row] : rowOf) {
        row = std::max(scaled(y, size.y, height), previous + 1);
        previous = row;
    }
    int next = height;
    for (auto entry = rowOf.rbegin(); entry != rowOf.rend(); ++entry) {
        entry->second = std::min(entry->second, next - 1);
        next = entry->second;
    }
    const auto place = [&](const runtime::CanvasDraw& draw, int column, std::string_view text, uint8_t style) {
        const int row = rowOf[draw.position.y];
        if (row >= 0) {
            put(top + row, column, text, style);
        }
    };
    // Texts at the same canvas x form a column; a column starts at its scaled position, or past the
    // widest text of the column before it, so that a narrow terminal never overlaps them. When the
    // last column would pass the right edge, all of them move left as far as needed.
    std::vector<std::pair<int64_t, int>> columns; // canvas x, first terminal column
    int end = -2;
    for (;;) {
        int64_t x = 0;
        bool found = false;
        for (const runtime::CanvasDraw& draw : draws) {
            if (plain(draw) && (columns.empty() || draw.position.x > columns.back().first) &&
                (!found || draw.position.x < x)) {
                x = draw.position.x;
                found = true;
            }
        }
        if (!found) {
            break;
        }
        const int start = std::max(scaled(x, size.x, columns_), end + 2);
        int width = 0;
        for (const runtime::CanvasDraw& draw : draws) {
            if (plain(draw) && draw.position.x == x) {
                width = std::max(width, static_cast<int>(draw.text.size()));
            }
        }
        columns.emplace_back(x, start);
        end = start + width;
    }
    const int shift = columns.empty() ? 0 : std::min(std::max(0, end - columns_), columns.front().second);
    for (const auto& [x, start] : columns) {
        for (const runtime::CanvasDraw& draw : draws) {
            if (plain(draw) && draw.position.x == x) {
                place(draw, start - shift, draw.text, styleOf(draw.color));
            }
        }
    }
    // Scaled texts (the banner) stand out: bold and reversed, where they were drawn.
    for (const runtime::CanvasDraw& draw : draws) {
        if (!plain(draw)) {
            std::string text = " ";
            text += draw.text;
            text += ' ';
            place(draw, scaled(draw.position.x, size.x, columns_), text,
                  static_cast<uint8_t>(styleOf(draw.color) | kBold | kReverse));
        }
    }
}

std::string& LiveView::notice(int columns, int rows)
{
    char text[128];
    std::snprintf(text, sizeof text, "The live view needs a terminal of at least %d x %d; this one is %d x %d.",
                  kMinColumns, kMinRows, columns, rows);
    // Broken between words by the view itself, not mid-word by the terminal; as many lines as
    // there are rows, so that the screen never scrolls.
    const std::vector<std::string> lines = wrapped(text, columns);
    out_ = "\x1b[H\x1b[0m";
    for (size_t i = 0; i < lines.size() && static_cast<int>(i) < std::max(1, rows); ++i) {
        out_ += i == 0 ? "" : "\r\n";
        // Erased before it is written: after a line as wide as the terminal, the cursor still
        // stands on its last character.
        out_ += "\x1b[K";
        out_ += lines[i];
    }
    return out_;
}

std::string LiveView::render(const runtime::Host& host, const RunTally& tally, const LiveStatus& status, int columns,
                             int rows)
{
    if (columns < kMinColumns || rows < kMinRows) {
        return notice(columns, rows);
    }
    columns_ = columns;
    rows_ = rows;
    cells_.assign(static_cast<size_t>(columns_) * static_cast<size_t>(rows_), ' ');
    style_.assign(cells_.size(), 0);

    const int statusRows = drawStatus(host, tally, status);
    put(rows_ - 1, 0, "Ctrl-C stops; above: the plug-in's HUD", 0);

    // The legend's fields keep their widths, so that its lines do not change as the figures do.
    char heights[2][64];
    const runtime::Actor* car = host.world().car();
    const runtime::Actor* ball = host.world().ball();
    if (ball) {
        std::snprintf(heights[0], sizeof heights[0], "ball height %4.0f", static_cast<double>(ball->location.z));
    } else {
        std::snprintf(heights[0], sizeof heights[0], "ball height    -");
    }
    if (car) {
        std::snprintf(heights[1], sizeof heights[1], "car height %4.0f %-6s", static_cast<double>(car->location.z),
                      runtime::contactName(car->contact));
    } else {
        std::snprintf(heights[1], sizeof heights[1], "car height    -       ");
    }
    const std::vector<std::string> legend = packed({std::string(kSymbols), heights[0], heights[1]}, columns_, "  ");

    // The body between the status and the last line: the maps take what the HUD (a quarter, at
    // least its few rows) and the legend leave; on a short terminal the legend gives way first.
    const int body = rows_ - statusRows - 1;
    const int innerWidth = (columns_ - 4 - kMapGap) / 2;
    const int wanted = body - std::max(kMinHudRows, body / 4) - static_cast<int>(legend.size()) - 2;
    const int innerHeight = std::clamp(wanted, 3, std::max(3, static_cast<int>(std::lround(innerWidth / kMapAspect))));
    const int legendRows = std::clamp(body - innerHeight - 2 - kMinHudRows, 0, static_cast<int>(legend.size()));
    const int mapTop = statusRows;
    drawMaps(host.world(), mapTop, innerWidth, innerHeight);
    for (int i = 0; i < legendRows; ++i) {
        put(mapTop + innerHeight + 2 + i, 0, legend[static_cast<size_t>(i)], 0);
    }
    // The symbols in the legend as on the maps.
    if (legendRows > 0) {
        put(mapTop + innerHeight + 2, 0, "C", kCarStyle);
        put(mapTop + innerHeight + 2, static_cast<int>(kSymbols.find("c ")), "c", kCarStyle);
        put(mapTop + innerHeight + 2, static_cast<int>(kSymbols.find("O ")), "O", kBallStyle);
    }
    const int hudTop = mapTop + innerHeight + 2 + legendRows;
    drawCanvas(host, hudTop, rows_ - 1 - hudTop);

    out_ = "\x1b[H";
    for (int r = 0; r < rows_; ++r) {
        uint8_t current = 0;
        for (int c = 0; c < columns_; ++c) {
            const size_t cell = static_cast<size_t>(r) * static_cast<size_t>(columns_) + static_cast<size_t>(c);
            const auto style = static_cast<uint8_t>(colours_ ? style_[cell] : style_[cell] & (kBold | kReverse));
            if (style != current) {
                current = style;
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
