#pragma once

#include "platform/file_handle.h"

#include <filesystem>
#include <string>

// The steps of taking and letting go of a FolderLock that each system takes
// its own way; folder_lock.cpp puts them in order. Where a step fails, its
// `error` says why.
namespace zpak::lock_steps {

enum class Step {
    Done,
    Busy,   // somebody else holds the lock
    Again,  // a run that let go removed the file or its folder meanwhile: start over
    Failed,
};

// Makes the lock file's folder unless it is there.
bool MakeFolder(const std::filesystem::path& folder, std::string& error);

// Opens the lock file, making it when it is missing, so that other runs can
// open it too and the holder can remove it; never through a link placed at
// its name, which must not make us lock a file elsewhere.
Step OpenLockFile(const std::filesystem::path& path, FileHandle& file, std::string& error);

// Locks the open file, without waiting, every way that runs and tools on
// this system lock it.
Step LockOpenFile(FileHandle::Native file, std::string& error);

// True when the path still names the open file.
bool NamesFile(const std::filesystem::path& path, FileHandle::Native file);

// Removes the lock file while it is still open and locked.
bool RemoveOpenFile(const std::filesystem::path& path, FileHandle::Native file, std::string& error);

// Removes the folder unless something is left in it or it is gone already.
bool RemoveFolderIfEmpty(const std::filesystem::path& folder, std::string& error);

}  // namespace zpak::lock_steps
