#include "support/manifest_round_trip.h"

#include "generate/launch_scripts.h"
#include "generate/manifest_writer.h"
#include "generate/product_paths.h"
#include "import/manifest_import.h"
#include "model/project_document.h"
#include "model/project_reader.h"
#include "model/project_writer.h"
#include "platform/message_sink.h"
#include "platform/text_case.h"
#include "platform/text_encoding.h"
#include "support/temp_dir.h"

namespace zpak::test {

namespace fs = std::filesystem;

namespace {

// What generating writes: the pair, and each launch script it names (empty
// for none); a script that is not known is not compared.
struct Generated {
    ManifestTexts pair;
    std::optional<std::string> linux;
    std::optional<std::string> mac;
};

Generated Generate(ProjectDocument& document)
{
    Generated out{BuildManifest(document), "", ""};
    const ProductData& product = *document.product;
    if (product.shortcut && product.linux)
        out.linux = LinuxScript(document).text;
    if (product.shortcut && product.mac)
        out.mac = MacScript(document).text;
    return out;
}

std::string Warnings(const ImportResult& result)
{
    std::string text;
    for (const Diagnostic& d : result.diagnostics) {
        if (d.severity != Severity::Note)
            text += d.file + ":" + std::to_string(d.line) + ": " + d.code + " " + d.text + "\n";
    }
    return text;
}

// Generates the reopened import and compares with what was generated first.
::testing::AssertionResult Regenerates(ImportResult& result, const Generated& first, std::string* imported)
{
    if (!result.imported)
        return ::testing::AssertionFailure() << "not imported:\n" << Warnings(result);
    if (const std::string warnings = Warnings(result); !warnings.empty())
        return ::testing::AssertionFailure() << "the import warns:\n" << warnings;
    ProjectDocument reopened;
    SilentSink sink;
    const std::string text = SerializeProject(result.document);
    if (!ParseProject(text, reopened, sink))
        return ::testing::AssertionFailure() << "the imported project does not read:\n" << text;
    if (imported)
        *imported = text;
    const Generated again = Generate(reopened);
    for (const auto& [what, a, b] :
         {std::tuple("manifest", &first.pair.ini, &again.pair.ini),
          std::tuple("localized manifest", &first.pair.localized, &again.pair.localized),
          std::tuple("Linux script", first.linux ? &*first.linux : nullptr, &*again.linux),
          std::tuple("Mac script", first.mac ? &*first.mac : nullptr, &*again.mac)}) {
        if (a && *a != *b)
            return ::testing::AssertionFailure() << "the " << what << " differs:\n"
                                                 << *a << "\n---- generated again ----\n"
                                                 << *b << "\n---- from the project ----\n"
                                                 << text;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

::testing::AssertionResult ManifestRoundTrips(ProjectDocument& document, std::string* imported)
{
    const Generated first = Generate(document);
    ManifestPair pair;
    pair.gameFolder = document.GameFolderText();
    pair.baseName = ManifestBaseName(document);
    pair.manifest = {pair.baseName + ".ini", first.pair.ini};
    pair.localized = ManifestSource{pair.baseName + ".int", first.pair.localized};
    pair.systemFile = [&](const std::string& name) -> std::optional<ManifestSource> {
        const std::string& product = TextOf(document.product->product);
        if (!first.linux->empty() && name == product + ".sh")
            return ManifestSource{name, *first.linux};
        if (!first.mac->empty() && name == product + "_mac.sh")
            return ManifestSource{name, *first.mac};
        return std::nullopt;
    };
    ImportResult result = ImportManifestPair(pair);
    return Regenerates(result, first, imported);
}

void ExpectManifestsRoundTrip(const fs::path& game)
{
    std::error_code error;
    for (fs::directory_iterator it(game / "System", error), end; !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        const std::string name = TextFromPath(path.filename());
        if (!it->is_regular_file(error) || name.size() < 7
            || !EqualsIgnoringCase(name.substr(name.size() - 7), "MOD.ini"))
            continue;
        Generated first;
        first.pair.ini = ReadFile(path);
        first.pair.localized = ReadFile(fs::path(path).replace_extension(".int"));
        ImportResult result = ImportManifest(path);
        // Scripts that were not written, or were cleaned up, are not compared.
        if (result.imported) {
            const ProductData& product = *result.document.product;
            const fs::path linux = game / "System" / PathFromText(*product.product + ".sh");
            const fs::path mac = game / "System" / PathFromText(*product.product + "_mac.sh");
            if (product.linux && fs::exists(linux))
                first.linux = ReadFile(linux);
            if (product.mac && fs::exists(mac))
                first.mac = ReadFile(mac);
        }
        EXPECT_TRUE(Regenerates(result, first, nullptr)) << path;
    }
}

std::string ReopenedText(ImportResult& result)
{
    ProjectDocument reopened;
    SilentSink sink;
    if (!ParseProject(SerializeProject(result.document), reopened, sink))
        return {};
    return SerializeProject(reopened);
}

}  // namespace zpak::test
