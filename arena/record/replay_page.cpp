#include "replay_page.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "files.h"
#include "library_path.h"
#include "paths.h"

namespace arena {

namespace {

std::optional<std::string> readFile(const std::string& path)
{
    std::ifstream in(platform::filePath(path), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        return std::nullopt;
    }
    return std::move(text).str();
}

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

int writeReplay(const std::string& file, const std::string& page)
{
    const auto recording = readFile(file);
    if (!recording) {
        std::fprintf(stderr, "arena replay: cannot read %s: %s\n", file.c_str(), std::strerror(errno));
        return 1;
    }
    if (!recording->starts_with(R"({"format":"volanko-recording")")) {
        std::fprintf(stderr, "arena replay: %s is not a Volanko recording (arena play --record FILE makes one)\n",
                     file.c_str());
        return 1;
    }
    const std::string pagePath = page.empty() ? findPage() : page;
    const auto pageText = readFile(pagePath);
    if (!pageText) {
        std::fprintf(stderr,
                     "arena replay: cannot read the replay page %s: %s\n"
                     "Build it with Node.js 20.19 or newer and npm: configure with -DVOLANKO_WEB=ON and build, "
                     "or run: cd web && npm ci && npm run build\n",
                     pagePath.c_str(), std::strerror(errno));
        return 1;
    }
    std::string error;
    const auto html = embedRecording(*pageText, *recording, error);
    if (!html) {
        std::fprintf(stderr, "arena replay: %s: %s\n", pagePath.c_str(), error.c_str());
        return 1;
    }
    const std::string out = file + ".html";
    const int fd = platform::createFile(out);
    const char* problem = fd < 0 ? std::strerror(errno) : nullptr;
    if (fd >= 0) {
        if (!platform::writeAll(fd, *html)) {
            problem = std::strerror(errno);
        }
        if (const int closed = platform::closeFile(fd); closed != 0 && !problem) {
            problem = std::strerror(closed);
        }
    }
    if (problem) {
        std::fprintf(stderr, "arena replay: cannot write %s: %s\n", out.c_str(), problem);
        return 1;
    }
    std::printf("%s\n", out.c_str());
    return 0;
}

} // namespace arena
