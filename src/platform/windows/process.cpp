#include "platform/process.h"

#include "platform/file_handle.h"
#include "platform/program_watch.h"
#include "platform/readable_file.h"
#include "platform/text_encoding.h"
#include "platform/windows/windows_error.h"

#include <chrono>

#include <windows.h>

namespace zpak {

namespace {

// The exit code of a program that was ended on cancel, as of one ended by Ctrl-Break.
constexpr UINT kCancelledExitCode = 0xC000013A;  // STATUS_CONTROL_C_EXIT

// One argument as the C runtime's command-line parser gives it back: quoted
// when it is empty or holds blanks or quotes; backslashes are doubled before
// a quote (and before the closing quote), each quote escaped.
void AppendQuoted(std::wstring& line, const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += arg;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

std::wstring CommandLine(const std::filesystem::path& program, const std::vector<std::string>& args)
{
    std::wstring line;
    AppendQuoted(line, program.native());
    for (const std::string& arg : args) {
        line += L' ';
        AppendQuoted(line, WideFromText(arg));
    }
    return line;
}

std::uint64_t CreationTime(HANDLE process)
{
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

FileHandle Inheritable(HANDLE handle)
{
    HANDLE copy = nullptr;
    if (handle && handle != INVALID_HANDLE_VALUE)
        ::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), &copy, 0, TRUE,
                          DUPLICATE_SAME_ACCESS);
    return FileHandle(copy);
}

// The program's standard handles: the null device for input; for output the
// pipe when the caller reads it, otherwise this process's own.
struct StandardHandles {
    FileHandle input;
    FileHandle output;
    FileHandle error;
    FileHandle readEnd;  // ours, when output is captured

    bool Open(bool capture)
    {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        input = FileHandle(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                         OPEN_EXISTING, 0, nullptr));
        if (!capture) {
            output = Inheritable(::GetStdHandle(STD_OUTPUT_HANDLE));
            error = Inheritable(::GetStdHandle(STD_ERROR_HANDLE));
            return input.IsOpen();
        }
        HANDLE read = nullptr;
        HANDLE write = nullptr;
        if (!::CreatePipe(&read, &write, &inherit, 0))
            return false;
        readEnd = FileHandle(read);
        ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
        output = FileHandle(write);
        error = Inheritable(write);
        return input.IsOpen() && error.IsOpen();
    }
};

// Handles to pass on, and only those: without the list a program started at
// the same moment by another thread could inherit the pipe and hold it open.
class InheritedHandles {
public:
    explicit InheritedHandles(const StandardHandles& handles)
    {
        for (const FileHandle* handle : {&handles.input, &handles.output, &handles.error}) {
            if (handle->IsOpen())
                list_[count_++] = handle->Get();
        }
        SIZE_T size = 0;
        ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        storage_.resize(size);
        attributes_ = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
        ready_ = ::InitializeProcThreadAttributeList(attributes_, 1, 0, &size)
            && ::UpdateProcThreadAttribute(attributes_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, list_,
                                           count_ * sizeof(HANDLE), nullptr, nullptr);
    }
    InheritedHandles(const InheritedHandles&) = delete;
    InheritedHandles& operator=(const InheritedHandles&) = delete;
    ~InheritedHandles()
    {
        if (ready_)
            ::DeleteProcThreadAttributeList(attributes_);
    }

    LPPROC_THREAD_ATTRIBUTE_LIST Get() const { return ready_ ? attributes_ : nullptr; }

private:
    HANDLE list_[3] = {};
    std::size_t count_ = 0;
    std::string storage_;
    LPPROC_THREAD_ATTRIBUTE_LIST attributes_ = nullptr;
    bool ready_ = false;
};

// A job that ends every process in it when its last handle closes: when we
// die, however we die, the program and whatever it started die with us.
FileHandle KillingJob()
{
    FileHandle job(::CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job.IsOpen()
        && !::SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits))
        job.Close();
    return job;
}

// The program as WatchProgram sees it.
class Child final : public RunningProgram {
public:
    Child(const PROCESS_INFORMATION& process, HANDLE job, HANDLE output, const ProcessOptions& options)
        : process_(process), job_(job), output_(output), options_(options)
    {
    }

    State Wait(std::chrono::milliseconds tick) override
    {
        if (::WaitForSingleObject(process_.hProcess, static_cast<DWORD>(tick.count())) != WAIT_TIMEOUT)
            return State::Ended;
        PassOnRest();
        return State::Running;
    }

    // Reads what the program has written so far, without waiting for more.
    void PassOnRest() override
    {
        if (!output_)
            return;
        for (;;) {
            DWORD available = 0;
            if (!::PeekNamedPipe(output_, nullptr, 0, nullptr, &available, nullptr) || available == 0)
                return;
            char buffer[4096];
            DWORD got = 0;
            if (!::ReadFile(output_, buffer, available < sizeof buffer ? available : sizeof buffer, &got,
                            nullptr)
                || got == 0)
                return;
            options_.output(std::string_view(buffer, got));
        }
    }

    int ExitCode() const override
    {
        DWORD code = 0;
        ::GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<int>(code);
    }

    void AskToEnd() override { ::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, process_.dwProcessId); }

    void ForceToEnd() override
    {
        if (!job_ || !::TerminateJobObject(job_, kCancelledExitCode))
            ::TerminateProcess(process_.hProcess, kCancelledExitCode);
    }

private:
    const PROCESS_INFORMATION& process_;
    HANDLE job_;
    HANDLE output_;
    const ProcessOptions& options_;
};

}  // namespace

ProcessResult RunProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const ProcessOptions& options)
{
    StandardHandles handles;
    if (!handles.Open(static_cast<bool>(options.output)))
        return {false, -1, false, WindowsErrorText(::GetLastError())};
    const InheritedHandles inherited(handles);

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = handles.input.Get();
    startup.StartupInfo.hStdOutput = handles.output.Get();
    startup.StartupInfo.hStdError = handles.error.Get();
    startup.lpAttributeList = inherited.Get();

    // A name without a folder is looked up as the system does (the program's
    // folder, the system folders, the PATH); one with a folder is taken as
    // it is, whatever blanks it holds.
    const bool bare = !program.has_parent_path();
    std::wstring line = CommandLine(program, args);
    const std::wstring directory = options.workingDirectory.native();
    // Suspended until it has been put into its job and recorded; a process
    // group of its own, so that a Ctrl-C in our console reaches only us and
    // we cancel in order.
    DWORD flags = CREATE_SUSPENDED | CREATE_NEW_PROCESS_GROUP | CREATE_UNICODE_ENVIRONMENT;
    if (startup.lpAttributeList)
        flags |= EXTENDED_STARTUPINFO_PRESENT;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(bare ? nullptr : program.c_str(), line.data(), nullptr, nullptr, TRUE, flags,
                          nullptr, directory.empty() ? nullptr : directory.c_str(), &startup.StartupInfo,
                          &process))
        return {false, -1, false, WindowsErrorText(::GetLastError())};
    const FileHandle processHandle(process.hProcess);
    const FileHandle threadHandle(process.hThread);
    // Only the program keeps its ends of the pipe: it reads end-of-file once
    // it and whatever it started have closed theirs.
    handles.output.Close();
    handles.error.Close();
    handles.input.Close();

    FileHandle job = KillingJob();
    if (job.IsOpen() && !::AssignProcessToJobObject(job.Get(), process.hProcess))
        job.Close();
    if (options.started)
        options.started(ProcessTag{static_cast<long>(process.dwProcessId), CreationTime(process.hProcess)});
    ::ResumeThread(process.hThread);

    Child child(process, job.Get(), handles.readEnd.Get(), options);
    ProcessResult result = WatchProgram(child, options);
    // Helpers the program left running stay, as they do on Linux.
    if (job.IsOpen() && !result.cancelled) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION keep{};
        ::SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &keep, sizeof keep);
    }
    return result;
}

bool ProcessStillRuns(const ProcessTag& tag)
{
    if (tag.id <= 0)
        return false;
    const FileHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, static_cast<DWORD>(tag.id)));
    if (!process.IsOpen())
        return ::GetLastError() == ERROR_ACCESS_DENIED;  // there, but not ours to look at
    if (tag.created != 0 && CreationTime(process.Get()) != tag.created)
        return false;  // another program that got the same id
    return ::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

std::string DescribeProcess(const ProcessTag& tag)
{
    return "process " + std::to_string(tag.id);
}

ProcessResult RunGameProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                             const ProcessOptions& options)
{
    if (!IsReadableFile(program))
        return {false, -1, false, "no such file"};
    return RunProcess(program, args, options);
}

}  // namespace zpak
