#include "cli/zpakbuild.h"

#include "cli/interrupt_signals.h"
#include "game/game_folder.h"
#include "game/registry_enumerator.h"
#include "game/wine_registry.h"
#include "generate/generation_run.h"
#include "model/project_document.h"
#include "model/project_reader.h"
#include "model/project_writer.h"
#include "platform/message_sink.h"
#include "platform/text_encoding.h"
#include "platform/wine_prefix.h"
#include "zpak/version.h"

#include <functional>
#include <optional>
#include <ostream>
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
    "                                 read the project and report what the wizard\n"
    "                                 would report on Open, then everything that\n"
    "                                 build with the same choice would refuse (and\n"
    "                                 warn about), without writing anything\n"
    "  games                          list the installed games the wizard's first page\n"
    "                                 offers, with the folder each one is found in\n"
    "  format PROJECT.zproj [-o OUT]  read the project and write it back exactly as\n"
    "                                 the wizard's Save would (in place without -o)\n"
    "  build PROJECT.zproj [--package | --manifest | --zip] [--cleanup]\n"
    "                      [--game-folder DIR]\n"
    "                                 generate from the project, as the Generate page\n"
    "                                 does: the game's package (the default), only the\n"
    "                                 manifest pair, or a zip archive. --cleanup deletes\n"
    "                                 intermediate files afterwards; --game-folder\n"
    "                                 replaces the project's game folder for this run\n"
    "\n"
    "Options:\n"
    "  -h, --help                     show this help\n"
    "  --version                      show the version\n"
    "\n"
    "Exit status: 0 on success; 1 when the project could not be read, checked,\n"
    "written or generated, or the packaging tool failed; 2 on a usage error;\n"
    "130 or 143 when build was interrupted (SIGINT, SIGTERM) and cancelled.\n";

// The options each command takes; any other is a usage error.
enum Option : unsigned {
    kOutputOption = 1,      // -o FILE
    kChoiceOptions = 2,     // --package, --manifest, --zip
    kCleanupOption = 4,     // --cleanup
    kGameFolderOption = 8,  // --game-folder DIR
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

// Opens the project named on the command line into `document`.
bool Open(const Invocation& call, ProjectDocument& document, MessageSink& sink)
{
    const std::string& file = call.operands[0];
    switch (OpenProject(PathFromText(file), document, sink, call.winePrefix,
                        call.gameFolder ? &*call.gameFolder : nullptr)) {
    case OpenResult::Opened:
        return true;
    case OpenResult::CannotOpen:
        call.err << "zpakbuild: cannot open " << file << '\n';
        return false;
    case OpenResult::Failed:
        return false;
    }
    return false;
}

// Refuses what `build` with the same choice would refuse, before anything is
// written; warnings are told and do not fail the check.
int Check(Invocation& call)
{
    if (call.operands.size() != 1)
        return UsageError(call.err, "check takes one project file");
    StreamSink sink(call.err);
    ProjectDocument document;
    if (!Open(call, document, sink))
        return kFailure;
    const ResolvedRun run =
        ResolveGeneration(document, call.choice.value_or(GenerationChoice::Package), call.winePrefix);
    for (const Problem& problem : run.problems)
        call.err << (problem.severity == Severity::Warning ? "Warning: " : "") << problem.text << '\n';
    return run.FirstError() ? kFailure : kSuccess;
}

int Format(Invocation& call)
{
    if (call.operands.size() != 1)
        return UsageError(call.err, "format takes one project file");
    StreamSink sink(call.err);
    ProjectDocument document;
    if (!Open(call, document, sink))
        return kFailure;
    const std::string& target = call.output.empty() ? call.operands[0] : call.output;
    return SaveProject(document, PathFromText(target), sink) ? kSuccess : kFailure;
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

int Build(Invocation& call)
{
    if (call.operands.size() != 1)
        return UsageError(call.err, "build takes one project file");
    StreamSink sink(call.err);
    ProjectDocument document;
    if (!Open(call, document, sink))
        return kFailure;
    if (call.cleanup && document.product)
        document.product->cleanup = 1;

    const InterruptSignals interrupts;
    GenerationHooks hooks;
    hooks.cancel = &interrupts.Flag();
    hooks.toolOutput = [&call](std::string_view chunk) { call.err << chunk << std::flush; };
    std::optional<TerminalProgress> progress;
    if (call.progress) {
        progress.emplace(call.err);
        hooks.zipProgress = [&progress](const ZipProgress& p) { (*progress)(p); };
    }
    const ResolvedRun run =
        ResolveGeneration(document, call.choice.value_or(GenerationChoice::Package), call.winePrefix);
    const GenerationOutcome outcome =
        ReportResolutionError(run, sink) ? GenerationOutcome::Failed : ExecuteGeneration(run, sink, hooks);
    progress.reset();
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
    {"check", Check, kChoiceOptions | kGameFolderOption},
    {"format", Format, kOutputOption},
    {"build", Build, kChoiceOptions | kCleanupOption | kGameFolderOption},
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
