// Feeds arbitrary texts to the import: a manifest, its localized companion
// and a launch script (the input cut at its first and second NUL). It may not
// crash, and each diagnostic names a line of its file. The project it makes
// must be one the program writes: it saves and opens again, and the pair it
// generates imports without a warning into a project that generates that
// pair again.
#include "fuzz_report.h"
#include "generate/launch_scripts.h"
#include "generate/manifest_writer.h"
#include "generate/product_paths.h"
#include "import/manifest_import.h"
#include "model/project_document.h"
#include "model/project_reader.h"
#include "model/project_writer.h"
#include "model/readback_check.h"
#include "platform/message_sink.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace {

using namespace zpak;
using fuzz::Fail;
using fuzz::Told;

ManifestPair Pair(std::string ini, std::string localized, std::map<std::string, std::string> scripts)
{
    ManifestPair pair;
    pair.gameFolder = "C:\\Games\\Vantor";
    pair.baseName = "FrontierMOD";
    pair.manifest = {"M.ini", std::move(ini)};
    pair.localized = ManifestSource{"M.int", std::move(localized)};
    pair.systemFile = [scripts =
                           std::move(scripts)](const std::string& name) -> std::optional<ManifestSource> {
        const auto found = scripts.find(name);
        if (found == scripts.end())
            return std::nullopt;
        return ManifestSource{name, found->second};
    };
    return pair;
}

int LineCount(std::string_view text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
}

struct Generated {
    ManifestTexts pair;
    std::map<std::string, std::string> scripts;
};

Generated Generate(ProjectDocument& doc)
{
    Generated out{BuildManifest(doc), {}};
    for (const auto& [on, script] :
         {std::pair(doc.product->linux, LinuxScript(doc)), std::pair(doc.product->mac, MacScript(doc))}) {
        if (doc.product->shortcut && on)
            out.scripts[script.fileName] = script.text;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = std::min(input.find('\0'), input.size());
    const std::string_view ini = input.substr(0, cut);
    const std::string_view rest = input.substr(std::min(cut + 1, input.size()));
    const std::string_view localized = rest.substr(0, std::min(rest.find('\0'), rest.size()));
    const std::string_view script = rest.substr(std::min(localized.size() + 1, rest.size()));

    const ManifestPair pair =
        Pair(std::string(ini), std::string(localized),
             {{"Frontier.sh", std::string(script)}, {"Frontier_mac.sh", std::string(script)}});
    ImportResult result = ImportManifestPair(pair);
    for (const Diagnostic& d : result.diagnostics) {
        const std::string_view file = d.file == "M.ini" ? ini : d.file == "M.int" ? localized : script;
        if (d.line < 0 || d.line > LineCount(file) || d.code.empty())
            Fail("a diagnostic names no line of its file", Told(result.diagnostics));
    }
    if (!result.imported)
        return 0;

    ProjectDocument reopened;
    SilentSink sink;
    const std::string imported = SerializeProject(result.document);
    if (!ParseProject(imported, reopened, sink) || !FindUnreadableTexts(result.document).empty())
        Fail("the import does not open as it was", imported);
    // A product that cannot name files is not generated.
    if (ProductNameProblem(reopened) || reopened.product->product->find('"') != std::string::npos)
        return 0;

    const Generated first = Generate(reopened);
    ManifestPair again = Pair(first.pair.ini, first.pair.localized, first.scripts);
    again.baseName = ManifestBaseName(reopened);
    ImportResult second = ImportManifestPair(again);
    const std::string pairs = imported + "----\n" + first.pair.ini + first.pair.localized;
    if (!second.imported)
        Fail("its pair is not imported", Told(second.diagnostics) + pairs);
    for (const Diagnostic& d : second.diagnostics) {
        if (d.severity != Severity::Note)
            Fail("its pair warns", Told(second.diagnostics) + pairs);
    }
    ProjectDocument last;
    const std::string secondText = SerializeProject(second.document);
    if (!ParseProject(secondText, last, sink))
        Fail("the second import does not open", secondText);
    const Generated next = Generate(last);
    if (next.pair.ini != first.pair.ini || next.pair.localized != first.pair.localized
        || next.scripts != first.scripts)
        Fail("its pair is generated differently",
             pairs + "----\n" + secondText + "----\n" + next.pair.ini + next.pair.localized);
    return 0;
}
