// Fetching the maker's version file over HTTP(S), with a size limit and a time limit.
#pragma once

#include <optional>
#include <string>

namespace shell {

struct FetchOptions {
    std::string strUrl;                // empty: UpdateCheckUrl()
    int nTimeoutMs = 10000;            // the whole fetch, connection included
    std::size_t nMaxBytes = 64 * 1024; // more is not read
};

// The version file's address: $CORVELLA_UPDATE_URL when set, else string 144.
std::string UpdateCheckUrl();

// The file's text, or nullopt on any failure: a bad address, no connection, an HTTP status
// other than 2xx, the time limit, a content type other than text/*, or data that is not text
// (zero bytes). A longer file is cut
// at the size limit. Runs an event loop of its own, so the calling thread must be a QThread.
std::optional<std::string> FetchVersionFile(const FetchOptions& options);

} // namespace shell
