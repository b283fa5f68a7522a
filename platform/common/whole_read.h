#pragma once
// A file read whole through one system's read call, shared by the file and library seams: the
// loop, the retry and the limit are the same on every system, only the call differs.

#include <cerrno>
#include <cstddef>
#include <string>

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

} // namespace platform
