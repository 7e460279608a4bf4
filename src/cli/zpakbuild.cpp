#include "cli/zpakbuild.h"

#include "model/project_document.h"
#include "model/project_reader.h"
#include "model/project_writer.h"
#include "platform/message_sink.h"
#include "zpak/version.h"

#include <functional>
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
    "  check PROJECT.zproj            read the project and report what the wizard\n"
    "                                 would report on Open; exit 0 when it reads\n"
    "                                 without error\n"
    "  format PROJECT.zproj [-o OUT]  read the project and write it back exactly as\n"
    "                                 the wizard's Save would (in place without -o)\n"
    "\n"
    "Options:\n"
    "  -h, --help                     show this help\n"
    "  --version                      show the version\n"
    "\n"
    "Exit status: 0 on success, 1 when the project could not be read or written,\n"
    "2 on a usage error.\n";

struct Invocation {
    std::vector<std::string> operands;
    std::string output;  // -o, for format
    std::ostream& out;
    std::ostream& err;
};

int UsageError(std::ostream& err, const std::string& text)
{
    err << "zpakbuild: " << text << "\nTry 'zpakbuild --help'.\n";
    return kUsage;
}

// Opens the project named on the command line into `document`.
bool Open(const std::string& file, ProjectDocument& document, MessageSink& sink, std::ostream& err)
{
    switch (OpenProject(file, document, sink)) {
    case OpenResult::Opened:
        return true;
    case OpenResult::CannotOpen:
        err << "zpakbuild: cannot open " << file << '\n';
        return false;
    case OpenResult::Failed:
        return false;
    }
    return false;
}

int Check(Invocation& call)
{
    if (call.operands.size() != 1 || !call.output.empty())
        return UsageError(call.err, "check takes one project file");
    StreamSink sink(call.err);
    ProjectDocument document;
    return Open(call.operands[0], document, sink, call.err) ? kSuccess : kFailure;
}

int Format(Invocation& call)
{
    if (call.operands.size() != 1)
        return UsageError(call.err, "format takes one project file");
    StreamSink sink(call.err);
    ProjectDocument document;
    if (!Open(call.operands[0], document, sink, call.err))
        return kFailure;
    const std::string& target = call.output.empty() ? call.operands[0] : call.output;
    return SaveProject(document, target, sink) ? kSuccess : kFailure;
}

struct Command {
    std::string_view name;
    std::function<int(Invocation&)> run;
};

const Command kCommands[] = {
    {"check", Check},
    {"format", Format},
};

}  // namespace

int RunZpakbuild(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
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

    Invocation call{{}, {}, out, err};
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-o" || arg == "--output") {
            if (++i == args.size())
                return UsageError(err, "-o needs a file name");
            call.output = args[i];
        } else if (arg == "-h" || arg == "--help") {
            out << kHelp;
            return kSuccess;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return UsageError(err, "unknown option '" + arg + "'");
        } else {
            call.operands.push_back(arg);
        }
    }
    return command->run(call);
}

}  // namespace zpak
