// Feeds arbitrary project texts to the full check and the install preview,
// over a small game folder made once. Neither may crash; every line they
// name lies in the text, and every text they give tools is valid JSON.
#include "generate/install_preview.h"
#include "generate/project_check.h"
#include "generate/run_resolver.h"
#include "model/project_document.h"
#include "model/project_reader.h"
#include "model/record_lines.h"
#include "platform/message_sink.h"
#include "platform/utf8_text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace {

namespace fs = std::filesystem;

const fs::path& GameFolder()
{
    static const fs::path folder = [] {
        const fs::path game = fs::temp_directory_path() / "zpak-check-fuzz-game";
        fs::create_directories(game / "System");
        fs::create_directories(game / "Maps");
        std::ofstream(game / "System/MKR.exe") << "tool";
        std::ofstream(game / "System/Game.ini") << "[Engine]\nDetail=Low\n[Keys]\nF1=Help\n";
        std::ofstream(game / "Maps/A.map") << "a";
        std::ofstream(game / "logo.bmp") << "BM";
        return game;
    }();
    return folder;
}

// A JSON text without a raw control character, an unescaped quote, a bad or
// surrogate escape, or a byte that is not UTF-8.
void CheckJson(std::string_view json)
{
    bool inString = false;
    for (std::size_t i = 0; i < json.size(); ++i) {
        const auto c = static_cast<unsigned char>(json[i]);
        if (c < 0x20 && !(c == '\n' && i + 1 == json.size()))
            __builtin_trap();
        const std::size_t length = zpak::Utf8SequenceLength(json, i);
        if (length == 0)
            __builtin_trap();
        if (length > 1) {
            i += length - 1;
            continue;
        }
        if (c == '"') {
            inString = !inString;
        } else if (c == '\\') {
            if (!inString || ++i == json.size())
                __builtin_trap();
            const char escaped = json[i];
            if (escaped == 'u') {
                if (i + 4 >= json.size()
                    || !std::all_of(json.begin() + static_cast<long>(i) + 1,
                                    json.begin() + static_cast<long>(i) + 5,
                                    [](char h) { return std::isxdigit(static_cast<unsigned char>(h)); }))
                    __builtin_trap();
                // Only control characters are escaped: a surrogate escape is
                // no text a strict parser accepts.
                if (std::tolower(static_cast<unsigned char>(json[i + 1])) == 'd'
                    && std::string_view("89abcdef").find(static_cast<char>(std::tolower(json[i + 2])))
                        != std::string_view::npos)
                    __builtin_trap();
                i += 4;
            } else if (std::string_view("\"\\/bfnrt").find(escaped) == std::string_view::npos) {
                __builtin_trap();
            }
        }
    }
    if (inString)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const std::string text = GameFolder().string() + "\n0.8\n" + std::string(body);
    zpak::ProjectDocument document;
    zpak::RecordLines lines;
    zpak::SilentSink sink;
    if (!zpak::ParseProject(text, document, sink, &lines))
        return 0;
    const int lineCount = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    const auto run = zpak::ResolveGeneration(document, zpak::GenerationChoice::Zip, {});
    for (const zpak::Diagnostic& diagnostic : zpak::DiagnoseRun(document, run, {}, &lines)) {
        if (diagnostic.line < 0 || diagnostic.line > lineCount || diagnostic.code.empty())
            __builtin_trap();
        CheckJson(zpak::JsonString(diagnostic.text));
    }
    CheckJson(zpak::PreviewJson(zpak::PreviewInstall(document, run, zpak::DefaultGroups(document), {})));
    return 0;
}
