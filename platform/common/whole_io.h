#pragma once
// Whole reads and writes through one system's read or write call, shared by the file and library
// seams: the loop, the retry and the limit are the same on every system, only the call differs.

#include <cerrno>
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Reads into `bytes` (emptied first) with `readSome(buffer, count)`, which returns the bytes read,
// 0 at the end, or -1 with an errno value in `error` (EINTR is asked again). One byte past `limit`
// tells a file over it: EFBIG, `bytes` emptied. 0 once the end is reached; `bytes` is emptied on
// every failure.
template <class ReadSome> int readWhole(std::string& bytes, size_t limit, ReadSome&& readSome)
{
    char buffer[65536];
    bytes.clear();
    for (;;) {
        const size_t room = limit - bytes.size();
        int error = 0;
        const long long got = readSome(buffer, room < sizeof buffer ? room + 1 : sizeof buffer, error);
        if (got == 0) {
            return 0;
        }
        if (got < 0) {
            if (error == EINTR) {
                continue;
            }
            bytes.clear();
            return error;
        }
        if (static_cast<size_t>(got) > limit - bytes.size()) {
            bytes.clear();
            return EFBIG;
        }
        bytes.append(buffer, static_cast<size_t>(got));
    }
}

// Writes all of `data` with `writeSome(bytes, count)`, which returns the bytes written or -1 with an
// errno value in `error` (EINTR is asked again); false when it writes nothing or fails.
template <class WriteSome> bool writeWhole(std::string_view data, WriteSome&& writeSome)
{
    while (!data.empty()) {
        int error = 0;
        const long long written = writeSome(data.data(), data.size(), error);
        if (written <= 0) {
            if (written < 0 && error == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

} // namespace platform
