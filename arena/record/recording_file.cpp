#include "arena/record/recording_file.h"

#include <cerrno>
#include <cstring>

#include "arena/common/concat.h"
#include "platform/files.h"

namespace arena {

namespace {

platform::FileIdentity identityOf(const SessionInput& input)
{
    return input.path.empty() ? platform::descriptorIdentity(0) : platform::fileIdentity(input.path);
}

// The input `target` is, if any: nullptr when none. Only a regular file can be lost to the
// recording: a terminal or a pipe that is also the input just takes the recording's lines.
const SessionInput* inputAt(const std::vector<SessionInput>& inputs, const platform::FileIdentity& target)
{
    for (const SessionInput& input : inputs) {
        if (const platform::FileIdentity read = identityOf(input);
            read.kind == platform::FileKind::Regular && target.same(read)) {
            return &input;
        }
    }
    return nullptr;
}

std::string isInput(const std::string& path, const SessionInput& input)
{
    return concat("arena: will not record into ", path, ": it is ", input.what);
}

std::string exists(const std::string& path)
{
    return concat("arena: will not replace ", path, ": it exists (--force lets the recording replace it)");
}

} // namespace

std::string RecordingFile::refusal() const
{
    const platform::FileIdentity target = platform::fileIdentity(path);
    if (const SessionInput* input = inputAt(inputs, target)) {
        return isInput(path, *input);
    }
    // Devices and FIFOs are written to, not replaced.
    if (target.known && target.kind == platform::FileKind::Regular && !replace) {
        return exists(path);
    }
    return {};
}

int RecordingFile::open(std::string& error, int& status) const
{
    bool made = false;
    const int fd = platform::openForWriting(path, made);
    if (fd < 0) {
        error = concat("arena: cannot write ", path, ": ", std::strerror(errno));
        status = 1;
        return -1;
    }
    // What was opened may not be what was looked at before: a file the session has yet to make
    // (its configuration) can have this name, or a name can lead elsewhere by now.
    const platform::FileIdentity opened = platform::descriptorIdentity(fd);
    const SessionInput* input = inputAt(inputs, opened);
    const bool regular = opened.kind == platform::FileKind::Regular;
    int emptied = 0;
    if (input || (regular && !made && !replace)) {
        error = input ? isInput(path, *input) : exists(path);
        status = 2;
    } else if (regular && !made && (emptied = platform::emptyFile(fd)) != 0) {
        error = concat("arena: cannot write ", path, ": ", std::strerror(emptied));
        status = 1;
    } else {
        return fd;
    }
    platform::closeFile(fd);
    if (made) {
        platform::removeFile(path);
    }
    return -1;
}

} // namespace arena
