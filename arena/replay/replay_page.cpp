#include "arena/replay/replay_page.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "arena/common/bounded_read.h"
#include "arena/common/concat.h"
#include "arena/common/library_path.h"
#include "arena/record/recording_check.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace arena {

namespace {

// Far below what a browser can hold as one text.
constexpr size_t kPageLimit = size_t{16} << 20;

// The first of: the page copied beside the program by a build with VOLANKO_WEB, the page built in
// the source tree.
std::string findPage()
{
    std::string beside = besideProgram("replay.html");
    if (platform::canRead(beside)) {
        return beside;
    }
    return VOLANKO_SOURCE_PAGE;
}

} // namespace

std::optional<std::string> embedRecording(std::string_view page, std::string_view recording, std::string& error)
{
    const size_t at = page.find(kRecordingMarker);
    if (at == std::string_view::npos || page.find(kRecordingMarker, at + 1) != std::string_view::npos) {
        error = at == std::string_view::npos ? "the page has no place for a recording (no <!--VOLANKO-RECORDING-->)"
                                             : "the page has more than one <!--VOLANKO-RECORDING-->";
        return std::nullopt;
    }
    std::string out(page.substr(0, at));
    out.reserve(page.size() + recording.size() + recording.size() / 64);
    for (const char c : recording) {
        if (c == '<') {
            out += "\\u003c";
        } else {
            out += c;
        }
    }
    out += page.substr(at + kRecordingMarker.size());
    return out;
}

int runReplay(const ReplayOptions& options)
{
    const std::string& file = options.recording;
    const std::string& page = options.page;
    std::string why;
    bool refused = false;
    const auto recording = readBounded(file, kRecordingLimit, "a recording", why, refused);
    if (!recording) {
        std::fprintf(stderr, "arena replay: cannot read %s: %s\n", file.c_str(), why.c_str());
        return 1;
    }
    // What the page would refuse is never embedded in it.
    const RecordingCheck check = checkRecording(*recording);
    if (!check.error.empty()) {
        std::fprintf(stderr, "arena replay: cannot replay %s: %s\n", file.c_str(), check.error.c_str());
        return 1;
    }
    const std::string pagePath = page.empty() ? findPage() : page;
    const auto pageText = readBounded(pagePath, kPageLimit, "a page", why, refused);
    if (!pageText) {
        std::fprintf(stderr, "arena replay: cannot read the replay page %s: %s\n%s", pagePath.c_str(), why.c_str(),
                     refused ? ""
                             : "Build it with Node.js 20.19 or newer and npm: configure with -DVOLANKO_WEB=ON and "
                               "build, or run: cd web && npm ci && npm run build\n");
        return 1;
    }
    std::string error;
    const auto html = embedRecording(*pageText, *recording, error);
    if (!html) {
        std::fprintf(stderr, "arena replay: %s: %s\n", pagePath.c_str(), error.c_str());
        return 1;
    }
    const std::string out = file + ".html";
    bool made = false;
    const int fd = platform::openForWriting(out, made);
    std::string problem = fd < 0 ? std::strerror(errno) : "";
    if (fd >= 0) {
        // Another name of the recording or of the page would lose it to the page written here.
        const platform::FileIdentity opened = platform::descriptorIdentity(fd);
        if (opened.same(platform::fileIdentity(file)) || opened.same(platform::fileIdentity(pagePath))) {
            std::fprintf(stderr, "arena replay: will not write %s: it is the %s\n", out.c_str(),
                         opened.same(platform::fileIdentity(file)) ? "recording" : "replay page");
            platform::closeFile(fd);
            return 1;
        }
        const int emptied = opened.kind == platform::FileKind::Regular && !made ? platform::emptyFile(fd) : 0;
        if (emptied != 0) {
            problem = std::strerror(emptied);
        } else if (!platform::writeAll(fd, *html)) {
            problem = std::strerror(errno);
        }
        if (const int closed = platform::closeFile(fd); closed != 0 && problem.empty()) {
            problem = std::strerror(closed);
        }
    }
    if (!problem.empty()) {
        std::fprintf(stderr, "arena replay: cannot write %s: %s\n", out.c_str(), problem.c_str());
        return 1;
    }
    if (!check.warning.empty()) {
        std::fprintf(stderr, "arena replay: note: %s is incomplete: %s\n", file.c_str(), check.warning.c_str());
    }
    std::printf("%s\n", out.c_str());
    return 0;
}

} // namespace arena
