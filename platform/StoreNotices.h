// What the user must hear about the files the program keeps (settings hives, the saved
// playlist): a file that could not be read whole and was set aside, and a save that failed.
// The stores report here from wherever they run; the shell shows the notices once its windows
// are up. A failed save of a file is noticed once per session, however often it fails again.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform {

struct StoreNotice {
    enum Kind { Damaged, NotSaved } kind = Damaged;
    std::string path;   // the file concerned
    std::string aside;  // Damaged: where the damaged file now is (empty: left where it was)
    std::string reason; // what was wrong: the system's error text for NotSaved
};

// A file the program keeps could not be read whole; what it held is kept at aside.
void ReportDamagedFile(const std::string& path, const std::string& aside,
                       const std::string& reason);
// A file could not be written; error is the errno value. The first failure of each path is kept.
void ReportSaveFailure(const std::string& path, int error);

// The notices not yet taken, oldest first.
std::vector<StoreNotice> TakeStoreNotices();
// Called, on the reporting thread, after each new notice; empty to stop. The shell posts itself
// a message from here.
void SetStoreNoticeListener(std::function<void()> listener);
// Forgets every notice and the paths already noticed. For tests.
void ResetStoreNotices();

} // namespace platform
