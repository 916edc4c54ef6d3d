#include "platform/StoreNotices.h"

#include "platform/Log.h"

#include <cstring>
#include <mutex>
#include <set>
#include <utility>

namespace platform {

namespace {

struct Notices {
    std::mutex mutex;
    std::vector<StoreNotice> waiting;
    std::set<std::string> unsaved; // paths whose failed save was noticed already
    std::function<void()> listener;
};

Notices& State() {
    static Notices notices;
    return notices;
}

void Add(StoreNotice notice) {
    Notices& state = State();
    std::function<void()> listener;
    {
        std::lock_guard lock(state.mutex);
        if (notice.kind == StoreNotice::NotSaved && !state.unsaved.insert(notice.path).second)
            return;
        state.waiting.push_back(std::move(notice));
        listener = state.listener;
    }
    if (listener)
        listener();
}

} // namespace

void ReportDamagedFile(const std::string& path, const std::string& aside,
                       const std::string& reason) {
    LogWarning(path + " could not be read whole (" + reason + ")" +
               (aside.empty() ? std::string() : "; it was kept as " + aside));
    Add({StoreNotice::Damaged, path, aside, reason});
}

void ReportSaveFailure(const std::string& path, int error) {
    const std::string reason = error ? std::strerror(error) : "unknown error";
    LogWarning("could not save " + path + ": " + reason);
    Add({StoreNotice::NotSaved, path, {}, reason});
}

std::vector<StoreNotice> TakeStoreNotices() {
    std::lock_guard lock(State().mutex);
    return std::exchange(State().waiting, {});
}

void SetStoreNoticeListener(std::function<void()> listener) {
    std::lock_guard lock(State().mutex);
    State().listener = std::move(listener);
}

void ResetStoreNotices() {
    std::lock_guard lock(State().mutex);
    State().waiting.clear();
    State().unsaved.clear();
}

} // namespace platform
