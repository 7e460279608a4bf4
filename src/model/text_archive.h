#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zpak {

// A text archive open for storing: records append their lines, each ending
// with a single LF. Without a block sink it keeps the whole text; with one it
// hands the text on in blocks, so that a large project never sits in memory
// twice.
class TextArchive {
public:
    using BlockSink = std::function<void(std::string_view)>;

    TextArchive() = default;
    explicit TextArchive(BlockSink sink) : sink_(std::move(sink)) { text_.reserve(kBlockSize); }

    void WriteLine(std::string_view line)
    {
        text_ += line;
        text_ += '\n';
        FlushWhenFull();
    }

    void WriteLine(std::string_view key, std::string_view value)
    {
        text_ += key;
        text_ += '=';
        text_ += value;
        text_ += '\n';
        FlushWhenFull();
    }

    // Hands on what is left; call once after the last line.
    void Finish()
    {
        if (sink_ && !text_.empty()) {
            sink_(text_);
            text_.clear();
        }
    }

    // The whole text, for an archive without a block sink.
    std::string TakeText() { return std::move(text_); }

private:
    static constexpr std::size_t kBlockSize = 64 * 1024;

    void FlushWhenFull()
    {
        if (sink_ && text_.size() >= kBlockSize) {
            sink_(text_);
            text_.clear();
        }
    }

    BlockSink sink_;
    std::string text_;
};

}  // namespace zpak
