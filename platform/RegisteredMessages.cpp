#include "platform/RegisteredMessages.h"

#include <mutex>
#include <unordered_map>

UINT RegisterWindowMessage(const std::string& name) {
    if (name.empty())
        return 0;
    // Function-local statics, so registration works during static initialisation of any module.
    static std::mutex mutex;
    static std::unordered_map<std::string, UINT> table;
    std::lock_guard lock(mutex);
    auto [it, inserted] = table.try_emplace(name, UINT(0xC000 + table.size()));
    return it->second;
}
