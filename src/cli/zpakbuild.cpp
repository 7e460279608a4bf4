#include "cli/zpakbuild.h"

#include "cli/diagnostic_format.h"
#include "cli/interrupt_signals.h"
#include "game/game_folder.h"
#include "game/registry_enumerator.h"
#include "game/wine_registry.h"
#include "generate/install_preview.h"
#include "generate/output_verifier.h"
#include "generate/problem_codes.h"
#include "generate/product_paths.h"
#include "generate/project_check.h"
#include "generate/run_executor.h"
#include "generate/run_resolver.h"
#include "import/imported_project.h"
#include "import/manifest_import.h"
#include "model/project_document.h"
#include "model/project_reader.h"
#include "model/project_writer.h"
#include "model/record_lines.h"
#include "platform/message_sink.h"
#include "platform/text_encoding.h"
#include "platform/wine_prefix.h"
#include "zpak/version.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <optional>
#include <ostream>
#include <sstream>
#include <string_view>

namespace zpak {

namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

constexpr const char* kHelp =
    "Usage: zpakbuild COMMAND [OPTIONS]\n"
    "\n"
    "Works on ZPAK Wizard projects (*.zproj) without opening the wizard.\n"
    "\n"
    "Commands:\n"
    "  check PROJECT.zproj [--package | --manifest | --zip] [--game-folder DIR]\n"
    "                      [--format text|github|json] [--werror] [--quiet]\n"
    "                                 report every problem of the project at once:\n"
    "                                 errors (what build with the same choice would\n"
    "                                 refuse) and warnings (what a player would\n"
    "                                 regret), each with its line and code, as\n"
    "                                 compilers write them (text), as GitHub Actions\n"
    "                                 annotations (github) or one JSON object a line\n"
    "  preview PROJECT.zproj [--groups A,B,...] [--format text|json] [--game-folder DIR]\n"
    "                                 show what the installer would do on a player's\n"
    "                                 machine: every file copied with its size, each\n"
    "                                 INI line before and after, the requirements,\n"
    "                                 shortcut and scripts; by default for the groups\n"
    "                                 required or selected by default (required\n"
    "                                 groups are always installed)\n"
    "  games                          list the installed games the wizard's first page\n"
    "                                 offers, with the folder each one is found in\n"
    "  format PROJECT.zproj [-o OUT]  read the project and write it back exactly as\n"
    "                                 the wizard's Save would (in place without -o)\n"
    "  import GAME/System/NAMEMOD.ini [-o PROJECT.zproj] [--format text|github|json]\n"
    "                      [--quiet]\n"
    "                                 make a project from a manifest pair made without\n"
    "                                 one (the .ini, its .int and launch scripts);\n"
    "                                 generating from it writes the same pair again.\n"
    "                                 What the pair holds that a project cannot is\n"
    "                                 reported line by line, as check reports. Writes\n"
    "                                 <product>.zproj here unless -o names the project\n"
    "                                 (-o - writes it to standard output)\n"
    "  build PROJECT.zproj [--package | --manifest | --zip [-o FILE]] [--cleanup]\n"
    "                      [--game-folder DIR] [--checksums] [--quiet] [--threads N]\n"
    "                                 generate from the project, as the Generate page\n"
    "                                 does: the game's package (the default), only the\n"
    "                                 manifest pair, or a zip archive. --cleanup deletes\n"
    "                                 intermediate files afterwards; --game-folder\n"
    "                                 replaces the project's game folder for this run;\n"
    "                                 -o (--output) writes the zip there instead of\n"
    "                                 into the game folder; --threads compresses the zip\n"
    "                                 on N threads (default: one per core, at most 8);\n"
    "                                 the archive is the same whatever N. The SHA-256\n"
    "                                 of the zip or package is printed; --checksums\n"
    "                                 also writes it to FILE.sha256 (sha256sum -c).\n"
    "                                 With SOURCE_DATE_EPOCH set, no zip entry is dated\n"
    "                                 later, and times are in UTC: the same files give\n"
    "                                 the same archive anywhere\n"
    "  verify PROJECT.zproj [--package | --manifest | --zip [-o FILE]] [--cleanup]\n"
    "                       [--game-folder DIR] [--format text|github|json] [--threads N]\n"
    "                       [--quiet]\n"
    "                                 check, without writing, that what build wrote is\n"
    "                                 what the project gives now: the manifest pair and\n"
    "                                 scripts byte for byte (but those --cleanup deletes),\n"
    "                                 the package against its .sha256 file, the zip\n"
    "                                 entry by entry; each difference with its line and code\n"
    "\n"
    "Options:\n"
    "  -h, --help                     show this help\n"
    "  --version                      show the version\n"
    "  --quiet                        report only errors (no warnings, no success lines)\n"
    "  --werror                       check: a warning fails the check too\n"
    "\n"
    "What was written goes to standard output; problems to standard error.\n"
    "\n"
    "Exit status:\n"
    "  0    done (check: no errors; warnings alone pass unless --werror)\n"
    "  1    a problem was found, or the project could not be read, written or\n"
    "       generated, or the packaging tool failed, or (verify) an output differs\n"
    "  2    usage error (an unknown option, command or group)\n"
    "  130  build interrupted by SIGINT (Ctrl-C) and cancelled; 143 by SIGTERM\n";

// The options each command takes; any other is a usage error.
enum Option : unsigned {
    kOutputOption = 1,       // -o FILE
    kChoiceOptions = 2,      // --package, --manifest, --zip
    kCleanupOption = 4,      // --cleanup
    kGameFolderOption = 8,   // --game-folder DIR
    kFormatOption = 16,      // --format NAME
    kWerrorOption = 32,      // --werror
    kQuietOption = 64,       // --quiet
    kGroupsOption = 128,     // --groups A,B
    kThreadsOption = 256,    // --threads N
    kChecksumsOption = 512,  // --checksums
};

struct Invocation {
    Invocation(std::ostream& outStream, std::ostream& errStream, bool showProgress)
        : out(outStream), err(errStream), progress(showProgress)
    {
    }

    std::vector<std::string> operands;
    std::string output;  // -o, for format
    std::optional<std::string> gameFolder;
    std::optional<GenerationChoice> choice;
    bool cleanup = false;
    bool checksums = false;
    std::optional<std::string> format;  // as given
    bool werror = false;
    bool quiet = false;
    std::optional<std::vector<std::string>> groups;
    unsigned threads = DefaultZipThreads();
    // Where drive-letter paths of projects made on Windows lie.
    std::filesystem::path winePrefix = DefaultWinePrefix();
    std::ostream& out;
    std::ostream& err;
    bool progress;
};

int UsageError(std::ostream& err, const std::string& text)
{
    err << "zpakbuild: " << text << "\nTry 'zpakbuild --help'.\n";
    return kUsage;
}

DiagnosticFormat FormatOf(const Invocation& call)
{
    if (call.format == "github")
        return DiagnosticFormat::GitHub;
    return call.format == "json" ? DiagnosticFormat::Json : DiagnosticFormat::Text;
}

// Prints the diagnostics to standard error (warnings not with --quiet);
// true when one of them fails the command.
bool Report(const Invocation& call, const std::vector<Diagnostic>& diagnostics)
{
    bool failed = false;
    // Standard error is not buffered: written in pieces, not a call per word.
    std::ostringstream piece;
    for (const Diagnostic& diagnostic : diagnostics) {
        const bool error = diagnostic.severity == Severity::Error;
        failed = failed || error || (call.werror && diagnostic.severity == Severity::Warning);
        if (error || !call.quiet)
            WriteDiagnostic(piece, diagnostic, call.operands[0], FormatOf(call));
        if (piece.tellp() > 65536) {
            call.err << piece.str();
            piece.str({});
        }
    }
    call.err << piece.str() << std::flush;
    return failed;
}

// Opens the project named on the command line into `document`, learning the
// line of each record. A project that does not read is reported as the
// reader's one error, at the line it stopped on.
bool Open(const Invocation& call, ProjectDocument& document, RecordLines& lines)
{
    const std::string& file = call.operands[0];
    std::string reason;
    OpenOptions options;
    options.gameFolder = call.gameFolder ? &*call.gameFolder : nullptr;
    options.cannotOpenReason = &reason;
    options.lines = &lines;
    RecordingSink sink;
    const OpenResult result = OpenProject(PathFromText(file), document, sink, call.winePrefix, options);
    if (result == OpenResult::CannotOpen) {
        Report(call,
               {{Severity::Error,
                 codes::kCannotOpenProject,
                 0,
                 ProjectPage::Generate,
                 {},
                 "cannot open " + file + ": " + reason,
                 {}}});
        return false;
    }
    // The reader's messages, each at the line it was reading; the last one
    // stopped it when it failed. The warning about the game folder that
    // follows them is left to the check of the files.
    std::vector<Diagnostic> messages;
    for (std::size_t i = 0; i < lines.messageLines.size() && i < sink.messages.size(); ++i) {
        const bool stopped = result == OpenResult::Failed && i + 1 == sink.messages.size();
        messages.push_back({stopped ? Severity::Error : Severity::Warning,
                            stopped ? codes::kUnreadableProject : codes::kProjectReadNotice,
                            lines.messageLines[i],
                            ProjectPage::Generate,
                            {},
                            sink.messages[i],
                            {}});
    }
    Report(call, messages);
    return result == OpenResult::Opened;
}

// Every problem that `build` with the same choice would refuse, and what it
// would accept but a player would regret; nothing is written.
int Check(Invocation& call)
{
    if (call.operands.size() != 1)
        return UsageError(call.err, "check takes one project file");
    ProjectDocument document;
    RecordLines lines;
    if (!Open(call, document, lines))
        return kFailure;
    const auto diagnostics =
        CheckProject(document, call.choice.value_or(GenerationChoice::Package), call.winePrefix, &lines);
    return Report(call, diagnostics) ? kFailure : kSuccess;
}

std::vector<std::string> SplitNames(const std::string& list)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        if (comma > start)
            names.push_back(list.substr(start, comma - start));
        start = comma + 1;
    }
    return names;
}

int Preview(Invocation& call)
{
    if (call.operands.size() != 1)
        return UsageError(call.err, "preview takes one project file");
    if (call.format == "github")
        return UsageError(call.err, "preview writes text or json");
    ProjectDocument document;
    RecordLines lines;
    if (!Open(call, document, lines))
        return kFailure;
    std::vector<std::size_t> groups = DefaultGroups(document);
    if (call.groups) {
        GroupChoice choice = ChooseGroups(document, *call.groups);
        if (choice.unknown)
            return UsageError(call.err, "the project has no group named '" + *choice.unknown + "'");
        groups = std::move(choice.groups);
    }
    const ResolvedRun run = ResolveGeneration(document, GenerationChoice::ManifestOnly, call.winePrefix);
    std::vector<Diagnostic> diagnostics = DiagnoseRun(document, run, call.winePrefix, &lines);
    if (Report(call, diagnostics) && HasError(diagnostics))
        return kFailure;
    const InstallPreview preview = PreviewInstall(document, run, groups, call.winePrefix);
    call.out << (call.format == "json" ? PreviewJson(preview) : PreviewText(preview));
    return kSuccess;
}

int Format(Invocation& call)
{
    if (call.operands.size() != 1)
        return UsageError(call.err, "format takes one project file");
    StreamSink sink(call.err);
    ProjectDocument document;
    RecordLines lines;
    if (!Open(call, document, lines))
        return kFailure;
    const std::string& target = call.output.empty() ? call.operands[0] : call.output;
    return SaveProject(document, PathFromText(target), sink) ? kSuccess : kFailure;
}

// A project from a manifest pair: what the pair holds that the project
// cannot is reported as the check reports problems.
int Import(Invocation& call)
{
    if (call.operands.size() != 1)
        return UsageError(call.err, "import takes one manifest (GAME/System/NAMEMOD.ini)");
    const std::string& manifest = call.operands[0];
    ImportResult result = ImportManifest(PathFromText(manifest));
    Report(call, result.diagnostics);
    if (!result.imported)
        return kFailure;
    ProjectDocument& document = result.document;
    if (call.output == "-") {
        call.out << SerializeProject(document);
        return kSuccess;
    }
    std::string target = call.output;
    if (target.empty()) {
        // After the product, else after the manifest, in the current folder.
        target = ImportedProjectName(document, PathFromText(manifest));
        std::error_code error;
        if (std::filesystem::exists(PathFromText(target), error)) {
            call.err << "zpakbuild: " << target
                     << " exists already; name the project with -o to replace it\n";
            return kFailure;
        }
    }
    StreamSink sink(call.err);
    if (!SaveProject(document, PathFromText(target), sink))
        return kFailure;
    if (!call.quiet)
        call.out << "Imported " << manifest << " into " << target << ": " << DescribeImport(document) << "\n";
    return kSuccess;
}

// Zip progress on one terminal line, redrawn in place.
class TerminalProgress {
public:
    explicit TerminalProgress(std::ostream& err) : err_(err) {}
    ~TerminalProgress()
    {
        if (drawn_)
            err_ << '\n';
    }

    void operator()(const ZipProgress& p)
    {
        const auto percent = p.bytesTotal ? p.bytesDone * 100 / p.bytesTotal : 100;
        err_ << "\r\x1b[K" << p.filesDone << '/' << p.filesTotal << " files, " << percent << "% "
             << p.currentEntry << std::flush;
        drawn_ = true;
    }

private:
    std::ostream& err_;
    bool drawn_ = false;
};

// The opening that build and verify share: one project, --output only for
// the zip, --cleanup as the project's own setting. The exit status when the
// command cannot go on.
std::optional<int> OpenForRun(Invocation& call, const std::string& command, ProjectDocument& document,
                              RecordLines& lines)
{
    if (call.operands.size() != 1)
        return UsageError(call.err, command + " takes one project file");
    if (!call.output.empty() && call.choice != GenerationChoice::Zip)
        return UsageError(call.err, command + " takes --output only with --zip");
    if (!Open(call, document, lines))
        return kFailure;
    if (call.cleanup && document.product)
        document.product->cleanup = 1;
    return std::nullopt;
}

int Build(Invocation& call)
{
    ProjectDocument document;
    RecordLines lines;
    if (const std::optional<int> stop = OpenForRun(call, "build", document, lines))
        return *stop;

    const InterruptSignals interrupts;
    GenerationHooks hooks;
    hooks.cancel = &interrupts.Flag();
    hooks.zipThreads = call.threads;
    hooks.checksumFile = call.checksums;
    hooks.toolOutput = [&call](std::string_view chunk) { call.err << chunk << std::flush; };
    std::optional<TerminalProgress> progress;
    if (call.progress) {
        progress.emplace(call.err);
        hooks.zipProgress = [&progress](const ZipProgress& p) { (*progress)(p); };
    }
    ResolvedRun run = ResolveGeneration(document, call.choice.value_or(GenerationChoice::Package),
                                        call.winePrefix, PathFromText(call.output));
    // The run's problems are told as the check tells them, not at the end of
    // its last message.
    const std::vector<Diagnostic> diagnostics = ToDiagnostics(document, std::move(run.problems), &lines);
    run.problems.clear();
    if (Report(call, diagnostics))
        return kFailure;
    RecordingSink messages;
    const GenerationOutcome outcome = ExecuteGeneration(run, messages, hooks);
    progress.reset();
    const bool done = outcome == GenerationOutcome::Done;
    for (const std::string& message : messages.messages) {
        if (!done)
            call.err << message << '\n';
        else if (!call.quiet)
            call.out << message << '\n';
    }
    switch (outcome) {
    case GenerationOutcome::Done:
        return kSuccess;
    case GenerationOutcome::Cancelled:
        return 128 + interrupts.Signal();
    case GenerationOutcome::ToolFailed:
    case GenerationOutcome::Failed:
        break;
    }
    return kFailure;
}

// What build with the same choice would write, compared with what is there.
int Verify(Invocation& call)
{
    ProjectDocument document;
    RecordLines lines;
    // With --cleanup, what build --cleanup deleted is not looked for.
    if (const std::optional<int> stop = OpenForRun(call, "verify", document, lines))
        return *stop;
    ResolvedRun run = ResolveGeneration(document, call.choice.value_or(GenerationChoice::Package),
                                        call.winePrefix, PathFromText(call.output));
    const std::vector<Diagnostic> problems = ToDiagnostics(document, std::move(run.problems), &lines);
    run.problems.clear();
    if (Report(call, problems) && HasError(problems))
        return kFailure;
    OutputCheck check = VerifyOutputs(run, call.threads);
    if (Report(call, ToDiagnostics(document, std::move(check.problems), &lines)))
        return kFailure;
    if (!call.quiet)
        call.out << "The " << check.outputs << (check.outputs == 1 ? " output is" : " outputs are")
                 << " what the project gives now.\n";
    return kSuccess;
}

// The "Packaging tool" line of a game in the list.
std::string ToolFound(const std::string& folder, const std::filesystem::path& winePrefix)
{
    return IsGameFolderValid(folder, winePrefix) ? "System\\MKR.exe found" : "System\\MKR.exe missing";
}

#ifdef _WIN32
// What the wizard's first page would find: the games registered in either
// view of the registry, and the folder of each.
int Games(Invocation& call)
{
    if (!call.operands.empty())
        return UsageError(call.err, "games takes no arguments");
    const auto registry = OpenSystemRegistry();
    call.out << "Registry searched: HKEY_LOCAL_MACHINE\\" << kInstalledAppsKey
             << ", in its 32-bit view, then its 64-bit view\n";
    const std::vector<std::string> games = ListInstalledGames(*registry);
    if (games.empty())
        call.out << "No installed games were found.\n";
    for (const std::string& game : games) {
        call.out << '\n' << game << (game == kDefaultGame ? " (the default game)" : "") << '\n';
        std::string folder;
        if (!RegistryEnumerator(*registry).ReadString(GameKeyPath(game), "Folder", folder)) {
            call.out << "  no \"Folder\" string value: the wizard cannot use this game\n";
            continue;
        }
        call.out << "  Folder:           " << folder << '\n'
                 << "  Packaging tool:   " << ToolFound(folder, call.winePrefix) << '\n';
    }
    return kSuccess;
}
#else
// What the wizard's first page would find, and why: the Wine prefixes searched,
// and for each game its folder as stored and as used.
int Games(Invocation& call)
{
    if (!call.operands.empty())
        return UsageError(call.err, "games takes no arguments");
    const auto prefixes = FindWinePrefixes(WineSearchFromEnvironment());
    const auto registry = WineRegistry::Load(prefixes);

    call.out << "Wine prefixes searched, in order:";
    if (prefixes.empty())
        call.out << " none found ($WINEPREFIX or ~/.wine, and Steam's Proton prefixes)";
    call.out << '\n';
    for (const auto& prefix : prefixes)
        call.out << "  " << prefix.string() << '\n';

    const std::vector<std::string> games = ListInstalledGames(*registry);
    if (games.empty())
        call.out << "No installed games were found under HKEY_LOCAL_MACHINE\\" << kInstalledAppsKey << ".\n";
    for (const std::string& game : games) {
        call.out << '\n' << game << (game == kDefaultGame ? " (the default game)" : "") << '\n';
        const std::string key = GameKeyPath(game);
        std::string folder;
        const auto origin = registry->FindOrigin(key, "Folder");
        if (!origin || !RegistryEnumerator(*registry).ReadString(key, "Folder", folder)) {
            call.out << "  no \"Folder\" string value: the wizard cannot use this game\n";
            continue;
        }
        call.out << "  Folder as stored: " << origin->stored << '\n'
                 << "  Folder used:      " << folder << '\n'
                 << "  Wine prefix:      " << origin->prefix.string() << '\n'
                 << "  Packaging tool:   " << ToolFound(folder, call.winePrefix) << '\n';
    }
    return kSuccess;
}

#endif

struct Command {
    std::string_view name;
    std::function<int(Invocation&)> run;
    unsigned options;
};

const Command kCommands[] = {
    {"check", Check, kChoiceOptions | kGameFolderOption | kFormatOption | kWerrorOption | kQuietOption},
    {"preview", Preview, kGameFolderOption | kFormatOption | kGroupsOption | kQuietOption},
    {"format", Format, kOutputOption},
    {"import", Import, kOutputOption | kFormatOption | kQuietOption},
    {"build", Build,
     kChoiceOptions | kCleanupOption | kGameFolderOption | kOutputOption | kQuietOption | kThreadsOption
         | kChecksumsOption},
    {"verify", Verify,
     kChoiceOptions | kCleanupOption | kGameFolderOption | kOutputOption | kFormatOption | kQuietOption
         | kThreadsOption},
    {"games", Games, 0},
};

// One option: its names, the command flag that allows it, and what it stores
// (giving a usage error's text, or nothing).
struct OptionSpec {
    std::string_view name;
    std::string_view otherName;
    unsigned flag;
    const char* value;  // what follows it, for the message when it is missing; null for none
    std::optional<std::string> (*store)(Invocation& call, std::string_view name, const std::string& value);
};

std::optional<std::string> StoreChoice(Invocation& call, std::string_view name, const std::string&)
{
    if (call.choice)
        return "choose one of --package, --manifest and --zip";
    call.choice = name == "--package" ? GenerationChoice::Package
        : name == "--manifest"        ? GenerationChoice::ManifestOnly
                                      : GenerationChoice::Zip;
    return std::nullopt;
}

std::optional<std::string> StoreThreads(Invocation& call, std::string_view, const std::string& value)
{
    unsigned threads = 0;
    const char* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, threads);
    if (error != std::errc() || stop != end || threads < 1)
        return "--threads needs a whole number of at least 1, not '" + value + "'";
    call.threads = threads;
    return std::nullopt;
}

const OptionSpec kOptions[] = {
    {"-o", "--output", kOutputOption, "a file name",
     [](Invocation& call, std::string_view, const std::string& value) -> std::optional<std::string> {
         call.output = value;
         return std::nullopt;
     }},
    {"--package", {}, kChoiceOptions, nullptr, StoreChoice},
    {"--manifest", {}, kChoiceOptions, nullptr, StoreChoice},
    {"--zip", {}, kChoiceOptions, nullptr, StoreChoice},
    {"--cleanup",
     {},
     kCleanupOption,
     nullptr,
     [](Invocation& call, std::string_view, const std::string&) -> std::optional<std::string> {
         call.cleanup = true;
         return std::nullopt;
     }},
    {"--game-folder",
     {},
     kGameFolderOption,
     "a folder",
     [](Invocation& call, std::string_view, const std::string& value) -> std::optional<std::string> {
         call.gameFolder = value;
         return std::nullopt;
     }},
    {"--format",
     {},
     kFormatOption,
     "text, github or json",
     [](Invocation& call, std::string_view, const std::string& value) -> std::optional<std::string> {
         if (value != "text" && value != "github" && value != "json")
             return "--format takes text, github or json, not '" + value + "'";
         call.format = value;
         return std::nullopt;
     }},
    {"--werror",
     {},
     kWerrorOption,
     nullptr,
     [](Invocation& call, std::string_view, const std::string&) -> std::optional<std::string> {
         call.werror = true;
         return std::nullopt;
     }},
    {"--quiet", "-q", kQuietOption, nullptr,
     [](Invocation& call, std::string_view, const std::string&) -> std::optional<std::string> {
         call.quiet = true;
         return std::nullopt;
     }},
    {"--groups",
     {},
     kGroupsOption,
     "a comma-separated list of group names",
     [](Invocation& call, std::string_view, const std::string& value) -> std::optional<std::string> {
         call.groups = SplitNames(value);
         return std::nullopt;
     }},
    {"--threads", {}, kThreadsOption, "a number", StoreThreads},
    {"--checksums",
     {},
     kChecksumsOption,
     nullptr,
     [](Invocation& call, std::string_view, const std::string&) -> std::optional<std::string> {
         call.checksums = true;
         return std::nullopt;
     }},
};

const OptionSpec* FindOption(std::string_view arg)
{
    for (const OptionSpec& option : kOptions) {
        if (arg == option.name || (!option.otherName.empty() && arg == option.otherName))
            return &option;
    }
    return nullptr;
}

// Reads the options and operands after the command; an exit code when the
// program is to stop here (a usage error, or help).
std::optional<int> ParseArguments(const std::vector<std::string>& args, const Command& command,
                                  Invocation& call)
{
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            call.out << kHelp;
            return kSuccess;
        }
        const OptionSpec* option = FindOption(arg);
        if (!option) {
            if (arg.size() > 1 && arg[0] == '-')
                return UsageError(call.err, "unknown option '" + arg + "'");
            call.operands.push_back(arg);
            continue;
        }
        // Options the command does not take are refused by name.
        if ((command.options & option->flag) == 0)
            return UsageError(call.err, args[0] + " does not take " + arg);
        std::string value;
        if (option->value) {
            if (++i == args.size())
                return UsageError(call.err, arg + " needs " + option->value);
            value = args[i];
        }
        if (const std::optional<std::string> error = option->store(call, arg, value))
            return UsageError(call.err, *error);
    }
    return std::nullopt;
}

}  // namespace

int RunZpakbuild(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 bool showProgress)
{
    if (args.empty())
        return UsageError(err, "no command given");
    if (args[0] == "-h" || args[0] == "--help" || args[0] == "help") {
        out << kHelp;
        return kSuccess;
    }
    if (args[0] == "--version") {
        out << "zpakbuild " << kVersion << '\n';
        return kSuccess;
    }

    const Command* command = nullptr;
    for (const auto& candidate : kCommands) {
        if (candidate.name == args[0])
            command = &candidate;
    }
    if (!command)
        return UsageError(err, "unknown command '" + args[0] + "'");

    Invocation call(out, err, showProgress);
    if (const std::optional<int> stop = ParseArguments(args, *command, call))
        return *stop;
    return command->run(call);
}

}  // namespace zpak
