// The folders a run writes into, each held against other runs from before the run reads what
// earlier runs left there until its last file is in place.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/extraction_run.h"
#include "platform/files.h"

namespace engine {

struct FolderLocks {
    std::vector<platform::FolderLock> held;
    FolderLocks() = default;
    FolderLocks(const FolderLocks&) = delete;
    FolderLocks& operator=(const FolderLocks&) = delete;
    ~FolderLocks() {
        for (platform::FolderLock& lock : held) platform::UnlockFolder(lock);
    }
};

// One folder to lock, and the outcome when it cannot be (a missing folder, say).
struct FolderToLock {
    std::string folder;
    RunOutcome failure;
};

// Locks each folder, in one order for every run so that two runs never wait for each other in
// a ring, then clears what a killed run left there. A folder another run holds is waited for
// (telling the request once), up to the request's limit; a run asked to stop stops waiting.
RunOutcome LockFolders(const RunRequest& request, const std::vector<FolderToLock>& folders,
                       FolderLocks& locks);

}  // namespace engine
