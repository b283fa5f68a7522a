#pragma once
// Where a recording's text goes as the recorder writes it: a file, or anything that wants the
// same bytes in the same order (a re-simulation compares them with the recording it plays).

#include <string>
#include <string_view>

namespace arena {

class RecordingSink {
public:
    // Takes the next piece of the text. False with `error` set to the whole message when it could
    // not; the recorder then writes nothing more.
    virtual bool write(std::string_view text, std::string& error) = 0;

protected:
    ~RecordingSink() = default;
};

// An open file, which it does not close; `name` names it in messages.
class FileSink final : public RecordingSink {
public:
    FileSink(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
    bool write(std::string_view text, std::string& error) override;

private:
    int fd_;
    std::string name_;
};

} // namespace arena
