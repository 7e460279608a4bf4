#pragma once

#include <string>
#include <string_view>

namespace zpak {

// A text archive open for storing: records append their lines, each ending
// with a single LF.
class TextArchive {
public:
    void WriteLine(std::string_view line)
    {
        text_ += line;
        text_ += '\n';
    }

    void WriteLine(std::string_view key, std::string_view value)
    {
        text_ += key;
        text_ += '=';
        text_ += value;
        text_ += '\n';
    }

    const std::string& Text() const { return text_; }
    std::string TakeText() { return std::move(text_); }

private:
    std::string text_;
};

}  // namespace zpak
