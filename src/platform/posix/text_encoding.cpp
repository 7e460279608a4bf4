#include "platform/text_encoding.h"

#include <array>
#include <cstdlib>

#include <iconv.h>

namespace zpak {

namespace {

// The locale that decides the character set, as the C library picks it.
std::string_view LocaleName()
{
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        if (const char* value = std::getenv(name); value && *value)
            return value;
    }
    return {};
}

}  // namespace

unsigned AnsiCodePage()
{
    // The ANSI code pages of the Windows locales, as Wine maps a Unix locale
    // to one; every other language (and the C locale) has 1252.
    struct Language {
        std::string_view code;
        unsigned codePage;
    };
    static constexpr std::array<Language, 34> kLanguages{{
        {"cs", 1250}, {"hu", 1250}, {"pl", 1250}, {"ro", 1250}, {"sk", 1250}, {"sl", 1250}, {"hr", 1250},
        {"sq", 1250}, {"bs", 1250}, {"ru", 1251}, {"uk", 1251}, {"be", 1251}, {"bg", 1251}, {"mk", 1251},
        {"kk", 1251}, {"ky", 1251}, {"mn", 1251}, {"tt", 1251}, {"el", 1253}, {"tr", 1254}, {"az", 1254},
        {"he", 1255}, {"iw", 1255}, {"ar", 1256}, {"fa", 1256}, {"ur", 1256}, {"et", 1257}, {"lv", 1257},
        {"lt", 1257}, {"vi", 1258}, {"th", 874},  {"ja", 932},  {"zh", 936},  {"ko", 949},
    }};
    const std::string_view locale = LocaleName();
    const std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
    if (locale.starts_with("zh_TW") || locale.starts_with("zh_HK") || locale.starts_with("zh_MO"))
        return 950;
    for (const Language& entry : kLanguages) {
        if (entry.code == language)
            return entry.codePage;
    }
    return 1252;
}

std::string Utf8FromText(std::string_view text)
{
    if (IsValidUtf8(text))
        return std::string(text);
    const std::string codePage = "CP" + std::to_string(AnsiCodePage());
    const iconv_t convert = ::iconv_open("UTF-8", codePage.c_str());
    // (iconv_t)-1 is how iconv_open says it failed.
    if (convert == reinterpret_cast<iconv_t>(-1))  // NOLINT(performance-no-int-to-ptr)
        return std::string(text);
    std::string out(text.size() * 4, '\0');
    char* in = const_cast<char*>(text.data());  // iconv's interface; it does not write there
    std::size_t inLeft = text.size();
    char* put = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        if (::iconv(convert, &in, &inLeft, &put, &outLeft) != static_cast<std::size_t>(-1))
            continue;
        // A byte the code page does not define: kept as U+FFFD, as Windows shows it.
        if (outLeft < 3)
            break;
        for (const char c : {'\xEF', '\xBF', '\xBD'})
            *put++ = c;
        outLeft -= 3;
        ++in;
        --inLeft;
    }
    ::iconv_close(convert);
    out.resize(out.size() - outLeft);
    return out;
}

std::filesystem::path PathFromText(std::string_view text)
{
    return std::filesystem::path(text);
}

std::string TextFromPath(const std::filesystem::path& path)
{
    return path.native();
}

}  // namespace zpak
