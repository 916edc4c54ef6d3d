// Reads the length and the tags of added files in the background: a pool of worker threads,
// one per processor, takes the files in small runs in the order they came and reads them with
// TagLib; files of types TagLib does not know (Matroska, WebM, MPEG-TS, most video) go to a
// GStreamer discoverer of the worker's own, made only when such a file comes and released
// once no file came for a second. Results reach the interface thread in batches, announced by
// a message posted to a window. The interface never waits: adding only queues paths, and
// stopping waits a moment at most.
#pragma once

#include "platform/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class CClipInfoReader {
public:
    struct Request {
        const void* key; // the caller's, handed back with the result
        std::string path;
        // A clip that knows its title and length gives the size (low 32 bits) and last-write
        // time its file had: the file is read again only when either changed since.
        bool bKnown = false;
        std::int32_t nFileSize = 0;
        std::int32_t tModified = 0;
    };
    struct Result {
        const void* key = nullptr;
        std::string path;
        int seconds = 0; // rounded to whole seconds; 0 when unknown
        std::string artist;
        std::string title;          // the tag's own texts; empty when the file names none
        bool bChanged = false;      // a known clip's file changed: what it knew is outdated
        std::int32_t nFileSize = 0; // the file as it was read
        std::int32_t tModified = 0;
        std::uint64_t order = 0; // results are taken in the order of their requests
    };
    // Files beyond this many waiting ones are not read in the background.
    static constexpr std::size_t kQueueLimit = 1000000;

    // `message` is posted to hWnd whenever results are waiting for TakeResults. `workers` 0
    // is one per processor.
    CClipInfoReader(HWND hWnd, UINT message, unsigned workers = 0);
    ~CClipInfoReader();
    CClipInfoReader(const CClipInfoReader&) = delete;
    CClipInfoReader& operator=(const CClipInfoReader&) = delete;

    void Add(std::vector<Request> requests);
    // What was read since the last call, in the order the files were added.
    std::vector<Result> TakeResults();
    // Forgets what waits and what is read already; files being read are not reported.
    void Cancel();
    // Ends the workers. Files still being read are left to them: they finish on their own.
    void Stop();

    struct Shared;

private:
    std::shared_ptr<Shared> m_pShared;
    std::vector<std::thread> m_workers;
    unsigned m_nWorkers;
};
