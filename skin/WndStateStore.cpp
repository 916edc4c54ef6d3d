#include "skin/WndStateStore.h"

namespace skin {

namespace {

WndStateStore& Store() {
    static WndStateStore store;
    return store;
}

} // namespace

void SetWndStateStore(WndStateStore store) {
    Store() = std::move(store);
}

bool SaveWndState(CObjBase& object, const std::string& strValueName) {
    return Store().save && Store().save(object, strValueName);
}

bool LoadWndState(CObjBase& object, const std::string& strValueName) {
    return Store().load && Store().load(object, strValueName);
}

} // namespace skin
