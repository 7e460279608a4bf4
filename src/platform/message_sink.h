#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zpak {

// Where core operations send what the user must read. The wizard shows each
// text in an OK-only message box; the command line prints it; tests record it.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(const std::string& text) = 0;
};

class RecordingSink final : public MessageSink {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }

    std::vector<std::string> messages;
};

// Prints each message on its own line, for the command line.
class StreamSink final : public MessageSink {
public:
    explicit StreamSink(std::ostream& stream) : stream_(stream) {}
    void ShowMessage(const std::string& text) override;

private:
    std::ostream& stream_;
};

// A sink that drops everything, for checks that run the reader silently.
class SilentSink final : public MessageSink {
public:
    void ShowMessage(const std::string&) override {}
};

}  // namespace zpak
