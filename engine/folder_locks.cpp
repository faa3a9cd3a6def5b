#include "engine/folder_locks.h"

#include <chrono>
#include <map>
#include <thread>

#include "engine/output_commit.h"

namespace engine {

RunOutcome LockFolders(const RunRequest& request, const std::vector<FolderToLock>& folders,
                       FolderLocks& locks) {
    std::map<std::string, const FolderToLock*> ordered;
    for (const FolderToLock& folder : folders)
        ordered.emplace(platform::AbsolutePath(folder.folder.empty() ? "." : folder.folder),
                        &folder);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(request.folderWaitSeconds);
    bool toldWaiting = false;
    for (const auto& [absolute, folder] : ordered) {
        platform::FolderLock lock;
        for (;;) {
            platform::LockResult result = platform::TryLockFolder(folder->folder, lock);
            if (result == platform::LockResult::Locked) break;
            if (result == platform::LockResult::Failed) return folder->failure;
            if (request.stop && request.stop->load()) return {RunError::Stopped, request.pagePath};
            if (std::chrono::steady_clock::now() >= deadline)
                return {RunError::FolderBusy, folder->folder.empty() ? absolute : folder->folder};
            if (!toldWaiting && request.waiting) request.waiting();
            toldWaiting = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        locks.held.push_back(lock);
        ClearKilledRunFiles(folder->folder);
    }
    return {};
}

}  // namespace engine
