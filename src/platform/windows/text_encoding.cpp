#include "platform/text_encoding.h"

#include <windows.h>

namespace zpak {

namespace {

std::wstring Widen(UINT codePage, std::string_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

}  // namespace

unsigned AnsiCodePage()
{
    return ::GetACP();
}

std::wstring WideFromText(std::string_view text)
{
    return Widen(IsValidUtf8(text) ? CP_UTF8 : CP_ACP, text);
}

std::string Utf8FromWide(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), length, nullptr, nullptr);
    return out;
}

std::string Utf8FromText(std::string_view text)
{
    return IsValidUtf8(text) ? std::string(text) : Utf8FromWide(WideFromText(text));
}

std::filesystem::path PathFromText(std::string_view text)
{
    return std::filesystem::path(WideFromText(text));
}

std::string TextFromPath(const std::filesystem::path& path)
{
    return Utf8FromWide(path.native());
}

}  // namespace zpak
