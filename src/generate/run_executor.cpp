#include "generate/run_executor.h"

#include "generate/build_files.h"
#include "generate/package_journal.h"
#include "model/project_document.h"
#include "platform/atomic_file.h"
#include "platform/cancel_flag.h"
#include "platform/file_operations.h"
#include "platform/folder_index.h"
#include "platform/folder_lock.h"
#include "platform/message_sink.h"
#include "platform/process.h"
#include "platform/readable_file.h"
#include "platform/sha256.h"
#include "platform/text_case.h"
#include "platform/text_encoding.h"
#include "platform/text_format.h"
#include "platform/wine_prefix.h"

#include <algorithm>
#include <memory>
#include <random>

namespace zpak {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kToolOutputKept = 4096;
constexpr int kToolLinesShown = 12;
constexpr const char* kCannotBackUp = "Could not back the default manifest.ini file.";
constexpr const char* kCannotRestore =
    "Could not restore manifest.ini (restore). You must manually rename zpak_manifest_backup.ini "
    "to manifest.ini.";

// Passes messages on, holding the last one back until the run ends so that
// the run's warnings can be added to it.
class LastMessageSink final : public MessageSink {
public:
    explicit LastMessageSink(MessageSink& target) : target_(target) {}

    void ShowMessage(const std::string& text) override
    {
        if (last_)
            target_.ShowMessage(*last_);
        last_ = text;
    }

    void Finish(const std::vector<std::string>& warnings)
    {
        const std::string lines = WarningLines(warnings);
        if (last_)
            target_.ShowMessage(*last_ + lines);
        else if (!lines.empty())
            target_.ShowMessage(lines.substr(1));
        last_.reset();
    }

private:
    MessageSink& target_;
    std::optional<std::string> last_;
};

// The text outputs of a run, each written to its temporary file first and
// renamed into place only when all of them were written.
class StagedTexts {
public:
    bool Stage(const std::vector<TextOutput>& texts, MessageSink& sink)
    {
        for (const TextOutput& text : texts) {
            const bool script = text.kind == TextOutput::Kind::Script;
            auto& file = files_.emplace_back(std::make_unique<AtomicFile>());
            if (!file->Open(text.path, {false, script ? 0777u : 0666u})) {
                sink.ShowMessage(FormatText(script ? "Could not create the linux shell script %s"
                                                   : "Could not create the file %s",
                                            {TextFromPath(text.path)}));
                return false;
            }
            if (!file->Write(text.content))
                return WriteFailed(text.path, *file, sink);
        }
        return true;
    }

    bool Commit(MessageSink& sink)
    {
        for (auto& file : files_) {
            const fs::path target = file->Target();
            if (!file->Commit())
                return WriteFailed(target, *file, sink);
        }
        return true;
    }

private:
    static bool WriteFailed(const fs::path& path, const AtomicFile& file, MessageSink& sink)
    {
        sink.ShowMessage(FormatText("Could not write the file %s: %s", {TextFromPath(path), file.Error()}));
        return false;
    }

    std::vector<std::unique_ptr<AtomicFile>> files_;
};

// The last lines a program wrote, for a message about its failure.
class OutputTail {
public:
    void Add(std::string_view chunk)
    {
        text_ += chunk;
        if (text_.size() > 2 * kToolOutputKept)
            text_.erase(0, text_.size() - kToolOutputKept);
    }

    std::string LastLines() const
    {
        std::string_view text = text_;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.remove_suffix(1);
        std::size_t start = text.size();
        int lines = 0;
        while (start > 0) {
            const std::size_t cut = text.rfind('\n', start - 1);
            if (cut == std::string_view::npos) {
                start = 0;
            } else if (++lines == kToolLinesShown) {
                start = cut + 1;
                break;
            } else {
                start = cut;
            }
        }
        return std::string(text.substr(start));
    }

private:
    std::string text_;
};

// Tells one run's journal from another's.
std::string RunNumber()
{
    std::random_device random;
    return std::to_string((std::uint64_t{random()} << 32) | random());
}

class Executor {
public:
    Executor(const ResolvedRun& run, MessageSink& sink, const GenerationHooks& hooks)
        : run_(run), sink_(sink), hooks_(hooks), system_(run.systemFolder)
    {
    }

    GenerationOutcome Execute()
    {
        if (!Lock(lock_))
            return GenerationOutcome::Failed;
        // Before anything is written; writers at work keep theirs.
        for (const fs::path& output : run_.everyOutput)
            RemoveStaleTempFiles(output);
        const GenerationOutcome outcome = RecoverInterruptedRun() ? Run() : GenerationOutcome::Failed;
        // Nothing of ours may stay behind a run that says it is done.
        if (!lock_.Release() && outcome == GenerationOutcome::Done) {
            sink_.ShowMessage(
                FormatText("Could not remove the lock file %s: %s.",
                           {TextFromPath(WorkFolder() / PathFromText(kLockFileName)), lock_.Error()}));
            return GenerationOutcome::Failed;
        }
        return outcome;
    }

private:
    GenerationOutcome Run()
    {
        switch (run_.choice) {
        case GenerationChoice::Zip:
            return Zip();
        case GenerationChoice::ManifestOnly:
            return Manifest();
        case GenerationChoice::Package:
            return Package();
        }
        return GenerationOutcome::Failed;
    }

    bool Cancelled() const { return hooks_.cancel && hooks_.cancel->IsSet(); }

    GenerationOutcome Cancel()
    {
        sink_.ShowMessage("The generation was cancelled. Nothing was changed.");
        return GenerationOutcome::Cancelled;
    }

    fs::path WorkFolder() const { return run_.gameFolder / PathFromText(kWorkFolderName); }
    fs::path JournalPath() const { return WorkFolder() / PathFromText(kJournalFileName); }
    fs::path OldJournalPath() const { return system_ / PathFromText(kOldJournalFileName); }

    // No lock, no run: two runs at once could each take the other's
    // set-aside manifest for the game's own.
    bool Lock(FolderLock& lock)
    {
        const fs::path lockFile = WorkFolder() / PathFromText(kLockFileName);
        const FolderLock::Result result = lock.Acquire(lockFile);
        if (result == FolderLock::Result::Failed) {
            sink_.ShowMessage(
                FormatText("The game folder %s cannot be locked for the build: %s cannot "
                           "be created or locked (%s). Nothing was changed.",
                           {TextFromPath(run_.gameFolder), TextFromPath(lockFile), lock.Error()}));
            return false;
        }
        if (result == FolderLock::Result::Busy || !TakeOldLock()) {
            sink_.ShowMessage(FormatText("Another build is using the game folder %s. Wait until "
                                         "it has finished, then generate again. Nothing was "
                                         "changed.",
                                         {TextFromPath(run_.gameFolder)}));
            return false;
        }
        return true;
    }

    // An earlier version locked System\zpak_build.lock, and left it: a run
    // of it may still hold it; otherwise the file goes.
    bool TakeOldLock() { return RemoveAbandonedLockFile(system_ / PathFromText(kOldLockFileName)); }

    bool StillLocked(const FolderLock& lock)
    {
        if (lock.StillHeld())
            return true;
        sink_.ShowMessage(FormatText("The lock file %s was removed or replaced while the build held it; "
                                     "another build may be using the game folder. Check the game "
                                     "folder, then generate again.",
                                     {TextFromPath(WorkFolder() / PathFromText(kLockFileName))}));
        return false;
    }

    // What to check before deleting a journal that cannot be acted on.
    std::string CheckByHand(const fs::path& journal, const std::string& why) const
    {
        return FormatText("The file %s, which an earlier package build left, cannot be used: %s. Make "
                          "sure that Manifest.ini and Manifest.int in %s are the game's own (an "
                          "earlier build may have left them as zpak_manifest_backup.ini and "
                          "zpak_manifest_backup.int), then delete the file. Nothing was changed.",
                          {TextFromPath(journal), why, TextFromPath(system_)});
    }

    // A package run that was cut off while the packaging tool ran left the
    // game's manifest aside; put it back before anything else. Journals of
    // an earlier version, in System, are honoured too.
    bool RecoverInterruptedRun()
    {
        for (const fs::path& path : {JournalPath(), OldJournalPath()}) {
            const PathState state = StateOfPath(path);
            if (state == PathState::Unknown) {
                sink_.ShowMessage(CheckByHand(path, "it cannot be examined"));
                return false;
            }
            if (state == PathState::Present && !RecoverFrom(path))
                return false;
        }
        // An earlier version of the wizard kept no journal.
        PackageJournal legacy;
        for (const SetAsideName& file : kSetAsideNames) {
            if (!index_.Locate(system_, std::string(file.name))
                && PathExists(system_ / PathFromText(file.backup)))
                legacy.aside.push_back({std::string(file.name), std::string(file.backup)});
        }
        return Restore(legacy);
    }

    bool RecoverFrom(const fs::path& path)
    {
        std::string text;
        const auto journal = ReadWholeFile(path, text) ? PackageJournal::Parse(text) : std::nullopt;
        if (!journal) {
            sink_.ShowMessage(CheckByHand(path, "it cannot be read"));
            return false;
        }
        if (const auto why = UntrustedJournal(*journal, system_)) {
            sink_.ShowMessage(CheckByHand(path, *why));
            return false;
        }
        if (ToolStillRunning(*journal)) {
            sink_.ShowMessage(FormatText("The packaging tool of an earlier package build that "
                                         "did not finish is still running (%s). "
                                         "Wait until it has ended, or end it, then generate "
                                         "again. Nothing was changed.",
                                         {DescribeProcess(journal->tool)}));
            return false;
        }
        // A journal of the first format says nothing of the folder it was
        // written for: it is acted on only when a backup it names is here.
        const bool setAside = std::ranges::any_of(journal->aside, [&](const PackageJournal::Aside& file) {
            return StateOfPath(system_ / PathFromText(file.backup)) != PathState::Absent;
        });
        if ((!journal->OfFirstFormat() || setAside) && !Restore(*journal))
            return false;
        if (!DeleteFileAt(path)) {
            sink_.ShowMessage(FormatText("Could not delete %s.", {TextFromPath(path)}));
            return false;
        }
        return true;
    }

    // Puts back what `journal` set aside; false after a message. Unless
    // `tell`, nothing is said when it went well.
    bool Restore(const PackageJournal& journal, bool tell = true)
    {
        int restored = 0;
        if (const auto failure = RestoreFromJournal(system_, journal, restored)) {
            sink_.ShowMessage(failure->leftover
                                  ? FormatText("Could not remove %s, which the packaging tool left in "
                                               "place of the game's own file; remove it by hand, then "
                                               "generate again.",
                                               {TextFromPath(system_ / PathFromText(failure->name))})
                                  : std::string(kCannotRestore));
            return false;
        }
        if (tell && restored > 0)
            sink_.ShowMessage("The game's manifest was restored from zpak_manifest_backup.ini, which "
                              "an earlier package build left behind when it did not finish.");
        return true;
    }

    bool WriteTexts()
    {
        StagedTexts texts;
        return texts.Stage(run_.texts, sink_) && texts.Commit(sink_);
    }

    GenerationOutcome Manifest()
    {
        if (!WriteTexts())
            return GenerationOutcome::Failed;
        if (!run_.quiet)
            sink_.ShowMessage("Successfully generated " + TextFromPath(run_.texts[0].path) + ", "
                              + TextFromPath(run_.texts[1].path));
        return GenerationOutcome::Done;
    }

    GenerationOutcome Zip()
    {
        AtomicFile archive;
        if (!archive.Open(run_.pack.archive, {false, 0666})) {
            sink_.ShowMessage("Could not create the zip file []");
            return GenerationOutcome::Failed;
        }
        StagedTexts scripts;
        if (!scripts.Stage(run_.texts, sink_))
            return GenerationOutcome::Failed;
        const int result = WriteZip(archive.TempPath(), run_.pack.entries, hooks_.zipProgress, hooks_.cancel,
                                    hooks_.zipThreads, run_.pack.sourceDate);
        if (result == kZipCancelled)
            return Cancel();
        if (result != kZipOk) {
            sink_.ShowMessage(ZipFailureMessage(result));
            return GenerationOutcome::Failed;
        }
        if (!StillLocked(lock_) || !scripts.Commit(sink_))
            return GenerationOutcome::Failed;
        if (!archive.Commit()) {
            sink_.ShowMessage(FormatText("Could not write the file %s: %s",
                                         {TextFromPath(run_.pack.archive), archive.Error()}));
            return GenerationOutcome::Failed;
        }
        // An archive written elsewhere (a build's --output) names its own folder.
        const fs::path folder = run_.pack.archive.parent_path() == run_.gameFolder
            ? run_.gameFolder
            : run_.pack.archive.parent_path();
        const std::optional<std::string> digest = Checksum(run_.pack.archive);
        if (!digest)
            return GenerationOutcome::Failed;
        sink_.ShowMessage(FormatText("The files have been compressed into %s within the %s folder",
                                     {TextFromPath(run_.pack.archive), TextFromPath(folder)})
                          + DigestLine(*digest));
        return CleanUp() ? GenerationOutcome::Done : GenerationOutcome::Failed;
    }

    GenerationOutcome Package()
    {
        if (!WriteTexts())
            return GenerationOutcome::Failed;
        if (Cancelled())
            return Cancel();
        if (!StillLocked(lock_))
            return GenerationOutcome::Failed;
        const std::optional<PackageJournal> journal = PlanSetAside();
        if (!journal || !SetAside(*journal)) {
            sink_.ShowMessage(kCannotBackUp);
            return GenerationOutcome::Failed;
        }

        // Whether the tool made the package is told by the package changing.
        const std::optional<FileStamp> before = PackageStamp();
        OutputTail tail;
        PackageJournal running = *journal;
        ProcessOptions options;
        // Should this process die while the tool runs, the next run must not
        // restore the game's manifest under the feet of a tool still at work.
        options.started = [&](const ProcessTag& tool) {
            running.tool = tool;
            std::string error;
            WriteFileAtomically(JournalPath(), running.Serialize(), error, {false, 0666});
        };
        options.workingDirectory = system_;
        options.cancel = hooks_.cancel;
        options.output = [&](std::string_view chunk) {
            tail.Add(chunk);
            if (hooks_.toolOutput)
                hooks_.toolOutput(chunk);
        };
        const ProcessResult tool = RunGameProgram(run_.tool, {"master", run_.baseName}, options);
        if (!tool.started)
            sink_.ShowMessage("Could not start MKR");

        if (!Restore(*journal, false))
            return GenerationOutcome::Failed;
        if (!DeleteFileAt(JournalPath())) {
            sink_.ShowMessage(FormatText("Could not delete %s.", {TextFromPath(JournalPath())}));
            return GenerationOutcome::Failed;
        }
        if (tool.cancelled) {
            sink_.ShowMessage("The package build was cancelled. The game's manifest was put back.");
            return GenerationOutcome::Cancelled;
        }
        const GenerationOutcome outcome = ToolOutcome(tool, tail, before);
        return CleanUp() ? outcome : GenerationOutcome::Failed;
    }

    // The game's manifest pair as it stands in System, and what the run
    // will do with it. Nothing when the game has no manifest or a backup is
    // already in the way.
    std::optional<PackageJournal> PlanSetAside()
    {
        index_.Forget();
        PackageJournal journal;
        journal.folder = FolderIdentity(system_);
        journal.run = RunNumber();
        const FolderListing& listing = index_.List(system_);
        if (journal.folder.empty() || listing.error != 0)
            return std::nullopt;
        for (auto [name, backup] : kSetAsideNames) {
            const FolderEntry* found = listing.Exact(name);
            if (!found)
                found = listing.IgnoringCase(name);
            if (!found) {
                if (name == kGameManifest)
                    return std::nullopt;
                journal.absent.emplace_back(name);
                continue;
            }
            if (listing.Exact(backup))
                return std::nullopt;
            journal.aside.push_back({found->name, std::string(backup)});
            for (const FolderEntry& entry : listing.entries) {
                if (entry.name != found->name && EqualsIgnoringCase(entry.name, name))
                    journal.keep.push_back(entry.name);
            }
        }
        return journal;
    }

    // The journal is on disk before the first file moves, so that a run cut
    // off at any point can be undone.
    bool SetAside(const PackageJournal& journal)
    {
        std::string error;
        if (!WriteFileAtomically(JournalPath(), journal.Serialize(), error, {false, 0666}))
            return false;
        for (const PackageJournal::Aside& file : journal.aside) {
            if (!MoveFileNoReplace(system_ / PathFromText(file.name), system_ / PathFromText(file.backup))) {
                // The journal goes only once what was moved is back.
                if (Restore(journal, false))
                    DeleteFileAt(JournalPath());
                return false;
            }
        }
        return true;
    }

    struct FileStamp {
        std::uintmax_t size = 0;
        fs::file_time_type modified;
        bool operator==(const FileStamp&) const = default;
    };

    std::optional<fs::path> PackagePath()
    {
        index_.Forget();
        const auto package = index_.Locate(system_, run_.packageName);
        if (!package)
            return std::nullopt;
        return system_ / PathFromText(*package);
    }

    std::optional<FileStamp> PackageStamp()
    {
        const std::optional<fs::path> package = PackagePath();
        std::error_code sizeError;
        std::error_code timeError;
        if (!package)
            return std::nullopt;
        FileStamp stamp{fs::file_size(*package, sizeError), fs::last_write_time(*package, timeError)};
        if (sizeError || timeError)
            return std::nullopt;
        return stamp;
    }

    static std::string DigestLine(const std::string& digest) { return "\nSHA-256: " + digest; }

    // The SHA-256 of a file the run made, and with checksumFile, the file
    // that records it beside it; nothing after a message saying why not.
    std::optional<std::string> Checksum(const fs::path& file)
    {
        std::optional<std::string> digest = Sha256OfFile(file);
        if (!digest) {
            sink_.ShowMessage(
                FormatText("Could not read the file %s to take its checksum.", {TextFromPath(file)}));
            return std::nullopt;
        }
        if (!hooks_.checksumFile)
            return digest;
        const fs::path sums = ChecksumFilePath(file);
        std::string error;
        if (!WriteFileAtomically(sums, *digest + "  " + TextFromPath(file.filename()) + "\n", error,
                                 {false, 0666})) {
            sink_.ShowMessage(FormatText("Could not write the file %s: %s", {TextFromPath(sums), error}));
            return std::nullopt;
        }
        return digest;
    }

    GenerationOutcome ToolOutcome(const ProcessResult& tool, const OutputTail& tail,
                                  const std::optional<FileStamp>& before)
    {
        if (!tool.started)
            return GenerationOutcome::ToolFailed;
        if (tool.exitCode != 0) {
            std::string text = FormatText("The packaging tool %s failed with exit code %d.",
                                          {TextFromPath(run_.tool), std::to_string(tool.exitCode)});
            if (const std::string lines = tail.LastLines(); !lines.empty())
                text += "\n\nThe last lines it wrote:\n" + lines;
            sink_.ShowMessage(text);
            return GenerationOutcome::ToolFailed;
        }
        const std::optional<fs::path> package = PackagePath();
        const std::optional<FileStamp> after = PackageStamp();
        if (!package || !after || after == before) {
            sink_.ShowMessage(
                FormatText("The packaging tool finished without an error; it was asked to build %s.",
                           {run_.packageName}));
            return GenerationOutcome::Done;
        }
        const std::optional<std::string> digest = Checksum(*package);
        if (!digest)
            return GenerationOutcome::Failed;
        sink_.ShowMessage(FormatText("The packaging tool built %s.", {TextFromPath(*package)})
                          + DigestLine(*digest));
        return GenerationOutcome::Done;
    }

    // The first deletion that fails ends the cleanup, and the run: what was
    // asked for is not all done.
    bool CleanUp()
    {
        if (hooks_.skipCleanup)
            return true;
        for (const fs::path& file : run_.cleanup) {
            if (!DeleteFileAt(file)) {
                sink_.ShowMessage(FormatText(
                    "Could not delete %s, which the cleanup removes after the build.", {TextFromPath(file)}));
                return false;
            }
        }
        return true;
    }

    const ResolvedRun& run_;
    MessageSink& sink_;
    const GenerationHooks& hooks_;
    fs::path system_;
    FolderIndex index_{fs::path(), true};
    FolderLock lock_;  // let go, and its file removed, when the run ends
};

}  // namespace

std::string WarningLines(const std::vector<std::string>& warnings)
{
    std::string lines;
    for (const std::string& warning : warnings)
        lines += "\nWarning: " + warning;
    return lines;
}

bool ReportResolutionError(const ResolvedRun& run, MessageSink& sink)
{
    const Problem* error = run.FirstError();
    if (error)
        sink.ShowMessage(error->text + WarningLines(run.Warnings()));
    return error != nullptr;
}

GenerationOutcome ExecuteGeneration(const ResolvedRun& run, MessageSink& sink, const GenerationHooks& hooks)
{
    LastMessageSink messages(sink);
    const GenerationOutcome outcome = Executor(run, messages, hooks).Execute();
    messages.Finish(run.Warnings());
    return outcome;
}

}  // namespace zpak
