#include "generate/output_verifier.h"

#include "generate/problem_codes.h"
#include "generate/zip_reader.h"
#include "platform/folder_index.h"
#include "platform/readable_file.h"
#include "platform/sha256.h"
#include "platform/text_encoding.h"
#include "platform/text_format.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <unordered_map>

#include <libdeflate.h>

namespace zpak {

namespace {

namespace fs = std::filesystem;

std::string Hex32(std::uint32_t value)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

// The line of `text` that the byte at `at` is on, from 1.
std::size_t LineAt(std::string_view text, std::size_t at)
{
    return 1
        + static_cast<std::size_t>(
               std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
}

// Where the project makes the input of an entry.
RecordRef RecordOf(const ResolvedInput& input)
{
    switch (input.kind) {
    case ResolvedInput::Kind::Entry:
        return RecordRef::Entry(input.group, input.entry);
    case ResolvedInput::Kind::Readme:
        return RecordRef::Product("readme");
    case ResolvedInput::Kind::Script:
        return RecordRef::Product("shortcut");
    case ResolvedInput::Kind::Logo:
        return RecordRef::Product("logo");
    case ResolvedInput::Kind::Licence:
        return RecordRef::Product("license");
    }
    return {};
}

// An entry the zip should hold, and the one it has under that name.
struct EntryPair {
    std::size_t expected = 0;  // in the run's pack list
    std::size_t found = 0;     // in the archive's directory
};

// Compares one entry's data with its source as it comes out of the archive.
class EntryComparison {
public:
    EntryComparison(const PackEntry& entry, std::string& buffer) : entry_(entry), buffer_(buffer)
    {
        if (!entry.content)
            file_.emplace(entry.source);
    }

    bool SourceReadable() const { return entry_.content || (file_->IsOpen() && file_->IsRegular()); }
    // Nothing when the source's size cannot be told: then it is not the same.
    std::optional<std::uint64_t> SourceSize() const
    {
        return entry_.content ? entry_.content->size() : file_->Size();
    }

    bool Take(std::string_view bytes)
    {
        crc_ = static_cast<std::uint32_t>(libdeflate_crc32(crc_, bytes.data(), bytes.size()));
        if (same_)
            same_ = SourceAt(offset_, bytes.size()) == bytes;
        offset_ += bytes.size();
        return true;
    }

    std::uint32_t Crc() const { return crc_; }
    std::uint64_t Size() const { return offset_; }
    bool Same() const { return same_ && SourceSize() == offset_; }

private:
    std::string_view SourceAt(std::uint64_t offset, std::size_t size)
    {
        if (entry_.content) {
            if (offset >= entry_.content->size())
                return {};
            return std::string_view(*entry_.content).substr(static_cast<std::size_t>(offset), size);
        }
        buffer_.resize(size);
        const std::optional<std::size_t> read = file_->ReadFullAt(buffer_.data(), size, offset);
        return std::string_view(buffer_).substr(0, read.value_or(0));
    }

    const PackEntry& entry_;
    std::string& buffer_;
    std::optional<ReadableFile> file_;
    std::uint32_t crc_ = 0;
    std::uint64_t offset_ = 0;
    bool same_ = true;
};

class Verifier {
public:
    Verifier(const ResolvedRun& run, unsigned threads) : run_(run), threads_(std::max(1U, threads)) {}

    OutputCheck Take() { return std::move(check_); }

    void CheckTexts()
    {
        for (const TextOutput& text : run_.texts) {
            if (std::ranges::find(run_.cleanup, text.path) != run_.cleanup.end())
                continue;
            ++check_.outputs;
            const RecordRef where = text.kind == TextOutput::Kind::Script ? RecordRef::Product("shortcut")
                                                                          : RecordRef::Product("product");
            std::string content;
            if (!ReadWholeFile(text.path, content)) {
                NotBuilt("The file %s", text.path, where);
                continue;
            }
            if (content == text.content)
                continue;
            const auto differ = std::ranges::mismatch(content, text.content);
            const auto at = static_cast<std::size_t>(differ.in1 - content.begin());
            Error(codes::kTextDiffers, where,
                  FormatText("The file %s differs from what the project gives now, from its line %d on.",
                             {TextFromPath(text.path), std::to_string(LineAt(content, at))}));
        }
    }

    void CheckPackage()
    {
        ++check_.outputs;
        FolderIndex index{fs::path()};
        const auto name = index.Locate(run_.systemFolder, run_.packageName);
        const fs::path package = run_.systemFolder / PathFromText(name.value_or(run_.packageName));
        if (!name || !IsReadableFile(package)) {
            NotBuilt("The package %s", package, RecordRef::Product("archive"));
            return;
        }
        const fs::path sums = ChecksumFilePath(package);
        std::string listed;
        if (!ReadWholeFile(sums, listed))
            return;
        const std::optional<std::string> digest = Sha256OfFile(package);
        if (!digest || !listed.starts_with(*digest + "  "))
            Error(codes::kChecksumDiffers, RecordRef::Product("archive"),
                  FormatText("The package %s is not the file its checksum file %s describes.",
                             {TextFromPath(package), TextFromPath(sums)}));
    }

    void CheckArchive()
    {
        ++check_.outputs;
        const fs::path& path = run_.pack.archive;
        const ReadableFile archive(path);
        if (!archive.IsOpen() || !archive.IsRegular()) {
            NotBuilt("The zip file %s", path, RecordRef::Product("product"));
            return;
        }
        const ZipDirectory directory = ReadZipDirectory(archive);
        if (directory.error) {
            Error(codes::kArchiveUnreadable, RecordRef(),
                  FormatText("The zip file %s cannot be read: %s.", {TextFromPath(path), *directory.error}));
            return;
        }
        const std::vector<EntryPair> pairs = Match(directory);
        CheckEntries(archive, directory, pairs);
    }

private:
    void Error(const char* code, RecordRef record, std::string text)
    {
        check_.problems.push_back({Severity::Error, std::move(text), code, std::move(record)});
    }

    void NotBuilt(const char* what, const fs::path& path, RecordRef record)
    {
        Error(codes::kNotBuiltYet, std::move(record),
              FormatText(std::string(what) + " is not built yet.", {TextFromPath(path)}));
    }

    std::string ArchiveText() const { return TextFromPath(run_.pack.archive); }

    // The inputs the archive's entries come from, in the archive's order.
    std::vector<const ResolvedInput*> PackedInputs() const
    {
        std::vector<const ResolvedInput*> inputs;
        for (const ResolvedInput& input : run_.inputs) {
            if (IsPacked(input.kind))
                inputs.push_back(&input);
        }
        return inputs;
    }

    // Pairs each expected entry with the first entry of its name not taken
    // yet; tells the entries left on either side and those out of order.
    std::vector<EntryPair> Match(const ZipDirectory& directory)
    {
        const auto& expected = run_.pack.entries;
        const std::vector<const ResolvedInput*> inputs = PackedInputs();
        std::unordered_map<std::string, std::vector<std::size_t>> byName;
        for (std::size_t i = directory.records.size(); i-- > 0;)
            byName[directory.records[i].name].push_back(i);
        std::vector<bool> taken(directory.records.size());
        std::vector<EntryPair> pairs;
        for (std::size_t e = 0; e < expected.size(); ++e) {
            const std::string name = Utf8FromText(expected[e].name);
            auto& candidates = byName[name];
            const RecordRef where = e < inputs.size() ? RecordOf(*inputs[e]) : RecordRef();
            if (candidates.empty()) {
                Error(codes::kEntryMissing, where,
                      FormatText("The zip file %s lacks the entry %s, from the file %s.",
                                 {ArchiveText(), name, Source(expected[e])}));
                continue;
            }
            const std::size_t found = candidates.back();
            candidates.pop_back();
            taken[found] = true;
            if (!pairs.empty() && found < pairs.back().found)
                Error(codes::kEntryOutOfOrder, where,
                      FormatText("The entry %s is entry %d of the zip file %s, out of the order build "
                                 "writes: it comes after the entry %s.",
                                 {name, std::to_string(found + 1), ArchiveText(),
                                  directory.records[pairs.back().found].name}));
            pairs.push_back({e, found});
        }
        for (std::size_t i = 0; i < taken.size(); ++i) {
            if (!taken[i])
                Error(codes::kEntryExtra, RecordRef(),
                      FormatText("The zip file %s holds the entry %s (entry %d), which the project does "
                                 "not give.",
                                 {ArchiveText(), directory.records[i].name, std::to_string(i + 1)}));
        }
        return pairs;
    }

    static std::string Source(const PackEntry& entry)
    {
        return entry.content ? "written by the run" : TextFromPath(entry.source);
    }

    // Unpacks the paired entries on the threads, then tells what each found
    // in the order of the archive.
    void CheckEntries(const ReadableFile& archive, const ZipDirectory& directory,
                      const std::vector<EntryPair>& pairs)
    {
        const std::vector<const ResolvedInput*> inputs = PackedInputs();
        std::vector<std::optional<Problem>> found(pairs.size());
        std::atomic<std::size_t> next{0};
        const auto work = [&] {
            ZipEntryReader reader;
            std::string buffer;
            for (std::size_t i = next++; i < pairs.size(); i = next++) {
                const EntryPair& pair = pairs[i];
                found[i] = CheckEntry(archive, directory.records[pair.found],
                                      run_.pack.entries[pair.expected], reader, buffer);
                if (found[i] && pair.expected < inputs.size())
                    found[i]->record = RecordOf(*inputs[pair.expected]);
            }
        };
        {
            std::vector<std::jthread> threads;
            const auto count = static_cast<unsigned>(std::min<std::size_t>(threads_, pairs.size()));
            for (unsigned t = 1; t < count; ++t)
                threads.emplace_back(work);
            work();
        }
        for (auto& problem : found) {
            if (problem)
                check_.problems.push_back(std::move(*problem));
        }
    }

    std::optional<Problem> CheckEntry(const ReadableFile& archive, const ZipRecord& record,
                                      const PackEntry& entry, ZipEntryReader& reader,
                                      std::string& buffer) const
    {
        const auto problem = [&](const char* code, std::string text) {
            return Problem{Severity::Error, std::move(text), code, {}};
        };
        EntryComparison comparison(entry, buffer);
        if (!comparison.SourceReadable())
            return problem(
                codes::kSourceChanged,
                FormatText("The file %s of the entry %s cannot be read now.", {Source(entry), record.name}));
        const std::optional<std::string> unreadable =
            reader.Read(archive, record, [&](std::string_view bytes) { return comparison.Take(bytes); });
        const std::string entryText =
            FormatText("The entry %s of the zip file %s", {record.name, ArchiveText()});
        if (unreadable)
            return problem(record.problem ? codes::kArchiveUnreadable : codes::kEntryDamaged,
                           FormatText("%s cannot be read: %s.", {entryText, *unreadable}));
        const bool crcRight = comparison.Crc() == record.crc;
        if (comparison.Size() != record.size)
            return problem(
                codes::kEntryDamaged,
                FormatText("%s is damaged: it unpacks to %d bytes, not the %d it records.",
                           {entryText, std::to_string(comparison.Size()), std::to_string(record.size)}));
        if (comparison.Same())
            return crcRight
                ? std::nullopt
                : std::optional(problem(codes::kWrongCrc,
                                        FormatText("%s records the CRC %s, but its data, which is the "
                                                   "file's, has the CRC %s.",
                                                   {entryText, Hex32(record.crc), Hex32(comparison.Crc())})));
        if (!crcRight)
            return problem(
                codes::kEntryDamaged,
                FormatText("%s is damaged: its data does not match the CRC it records.", {entryText}));
        return problem(
            codes::kSourceChanged,
            FormatText("%s holds other bytes than the file %s has now: the file changed after the build.",
                       {entryText, Source(entry)}));
    }

    const ResolvedRun& run_;
    unsigned threads_;
    OutputCheck check_;
};

}  // namespace

OutputCheck VerifyOutputs(const ResolvedRun& run, unsigned threads)
{
    Verifier verifier(run, threads);
    switch (run.choice) {
    case GenerationChoice::Zip:
        verifier.CheckArchive();
        break;
    case GenerationChoice::ManifestOnly:
        verifier.CheckTexts();
        break;
    case GenerationChoice::Package:
        verifier.CheckTexts();
        verifier.CheckPackage();
        break;
    }
    return verifier.Take();
}

}  // namespace zpak
