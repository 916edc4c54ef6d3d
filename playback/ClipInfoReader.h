// Reads the length and the tags of added files in the background: one worker thread with one
// discoverer takes the files in the order they came, and the results reach the interface
// thread in batches, announced by a message posted to a window. The discoverer lives only
// while files wait, so it holds no memory while a clip plays. The interface never waits:
// adding only queues paths, and stopping waits a moment at most.
#pragma once

#include "platform/WinTypes.h"

#include <cstddef>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class CClipInfoReader {
public:
    struct Request {
        const void* key; // the caller's, handed back with the result
        std::string path;
    };
    struct Result {
        const void* key;
        std::string path;
        int seconds = 0;   // 0 when unknown
        std::string title; // "Artist - Title", the title alone, or empty
    };
    // Files beyond this many waiting ones are not read in the background.
    static constexpr std::size_t kQueueLimit = 1000000;

    // `message` is posted to hWnd whenever results are waiting for TakeResults.
    CClipInfoReader(HWND hWnd, UINT message);
    ~CClipInfoReader();
    CClipInfoReader(const CClipInfoReader&) = delete;
    CClipInfoReader& operator=(const CClipInfoReader&) = delete;

    void Add(std::vector<Request> requests);
    std::vector<Result> TakeResults();
    // Forgets what waits and what is read already; the file being read is not reported.
    void Cancel();
    // Ends the worker. A file still being read is left to it: the thread finishes on its own.
    void Stop();

    struct Shared;

private:
    std::shared_ptr<Shared> m_pShared;
    std::thread m_worker;
};
