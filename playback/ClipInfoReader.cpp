#include "playback/ClipInfoReader.h"

#include "core/ClipTags.h"
#include "platform/MessageQueue.h"
#include "playback/GstSupport.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>
#include <malloc.h>
#include <mutex>
#include <sys/stat.h>
#include <utility>

using Clock = std::chrono::steady_clock;

struct CClipInfoReader::Shared {
    HWND hWnd = 0;
    UINT message = 0;
    std::mutex mutex;
    std::condition_variable wake;     // work, a cancel or the stop
    std::condition_variable finished; // the worker has ended
    // Whole requests as they came, taken from the front one by one: adding is one move.
    std::deque<std::vector<Request>> queue;
    std::size_t taken = 0;   // requests of the front batch handed to the worker
    std::size_t waiting = 0; // requests not yet handed over
    void Clear() {
        queue.clear();
        taken = waiting = 0;
    }
    std::vector<Result> results;
    std::uint64_t generation = 0; // a cancel starts a new one
    bool stop = false;
    bool done = false;
};

namespace {

constexpr GstClockTime kFileTimeout = 5 * GST_SECOND;
constexpr std::size_t kBatchSize = 64;
constexpr auto kBatchDelay = std::chrono::milliseconds(200);
// Files added in several steps (a folder read in parts) keep one discoverer; it goes only
// once no file came for this long.
constexpr auto kIdleRelease = std::chrono::seconds(1);
constexpr auto kStopWait = std::chrono::milliseconds(300);

using Shared = CClipInfoReader::Shared;
using Result = CClipInfoReader::Result;

// Only regular files: a FIFO or a device would block the reader on open.
bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void ReadInfo(GstDiscoverer* pDiscoverer, Result& result) {
    if (!IsRegularFile(result.path))
        return;
    gchar* pUri = gst_filename_to_uri(result.path.c_str(), nullptr);
    if (!pUri)
        return;
    GstDiscovererInfo* pInfo = gst_discoverer_discover_uri(pDiscoverer, pUri, nullptr);
    g_free(pUri);
    if (!pInfo)
        return;
    if (gst_discoverer_info_get_result(pInfo) == GST_DISCOVERER_OK) {
        result.seconds = int(gst_discoverer_info_get_duration(pInfo) / GST_SECOND);
        const GstTagList* pTags = gst_discoverer_info_get_tags(pInfo);
        result.title = core::TagDisplayTitle(gstsupport::TagText(pTags, GST_TAG_ARTIST),
                                             gstsupport::TagText(pTags, GST_TAG_TITLE));
    }
    gst_discoverer_info_unref(pInfo);
}

// Hands a batch over unless a cancel or the stop came since it was taken.
void Deliver(Shared& shared, std::vector<Result>& batch, std::uint64_t generation) {
    std::lock_guard lock(shared.mutex);
    if (!batch.empty() && generation == shared.generation && !shared.stop) {
        const bool announce = shared.results.empty();
        shared.results.insert(shared.results.end(), std::make_move_iterator(batch.begin()),
                              std::make_move_iterator(batch.end()));
        if (announce)
            platform::CMessageQueue::Instance().Post(shared.hWnd, shared.message, 0, 0);
    }
    batch.clear();
}

// Waits for the next file; false once stopped.
bool NextRequest(Shared& shared, CClipInfoReader::Request& request, std::uint64_t& generation) {
    std::unique_lock lock(shared.mutex);
    shared.wake.wait(lock, [&] { return shared.stop || shared.waiting > 0; });
    if (shared.stop)
        return false;
    request = std::move(shared.queue.front()[shared.taken++]);
    if (shared.taken == shared.queue.front().size()) {
        shared.queue.pop_front();
        shared.taken = 0;
    }
    --shared.waiting;
    generation = shared.generation;
    return true;
}

// Waits up to `patience` for more files; false when none came or the stop came.
bool MoreFilesSoon(Shared& shared, std::chrono::milliseconds patience) {
    std::unique_lock lock(shared.mutex);
    return shared.wake.wait_for(lock, patience, [&] {
        return shared.stop || shared.waiting > 0;
    }) && !shared.stop;
}

bool QueueEmpty(Shared& shared) {
    std::lock_guard lock(shared.mutex);
    return shared.waiting == 0;
}

void Work(const std::shared_ptr<Shared>& pShared) {
    std::string error;
    const bool started = gstsupport::EnsureInitialized(error);
    GstDiscoverer* pDiscoverer = nullptr;
    std::vector<Result> batch;
    std::uint64_t batchGeneration = 0;
    Clock::time_point batchStart;
    CClipInfoReader::Request request;
    std::uint64_t generation = 0;
    while (started && NextRequest(*pShared, request, generation)) {
        if (!pDiscoverer && !(pDiscoverer = gst_discoverer_new(kFileTimeout, nullptr)))
            break;
        if (generation != batchGeneration)
            batch.clear();
        if (batch.empty())
            batchStart = Clock::now();
        batchGeneration = generation;
        Result result{request.key, std::move(request.path), 0, {}};
        ReadInfo(pDiscoverer, result);
        if (result.seconds > 0 || !result.title.empty())
            batch.push_back(std::move(result));
        const bool idle = QueueEmpty(*pShared);
        if (batch.size() >= kBatchSize || Clock::now() - batchStart >= kBatchDelay || idle)
            Deliver(*pShared, batch, batchGeneration);
        // Between additions the discoverer's pipeline, threads and buffers would only hold
        // memory while a clip plays; the next files get a new one.
        if (idle && !MoreFilesSoon(*pShared, kIdleRelease)) {
            g_clear_object(&pDiscoverer);
            malloc_trim(0);
        }
    }
    if (pDiscoverer)
        g_object_unref(pDiscoverer);
    std::lock_guard lock(pShared->mutex);
    pShared->done = true;
    pShared->finished.notify_all();
}

} // namespace

CClipInfoReader::CClipInfoReader(HWND hWnd, UINT message) : m_pShared(std::make_shared<Shared>()) {
    m_pShared->hWnd = hWnd;
    m_pShared->message = message;
}

CClipInfoReader::~CClipInfoReader() {
    Stop();
}

void CClipInfoReader::Add(std::vector<Request> requests) {
    if (requests.empty())
        return;
    {
        std::lock_guard lock(m_pShared->mutex);
        if (m_pShared->stop || m_pShared->waiting >= kQueueLimit)
            return;
        requests.resize(std::min(requests.size(), kQueueLimit - m_pShared->waiting));
        m_pShared->waiting += requests.size();
        m_pShared->queue.push_back(std::move(requests));
    }
    if (!m_worker.joinable())
        m_worker = std::thread(Work, m_pShared);
    m_pShared->wake.notify_one();
}

std::vector<CClipInfoReader::Result> CClipInfoReader::TakeResults() {
    std::lock_guard lock(m_pShared->mutex);
    return std::exchange(m_pShared->results, {});
}

void CClipInfoReader::Cancel() {
    std::lock_guard lock(m_pShared->mutex);
    ++m_pShared->generation;
    m_pShared->Clear();
    m_pShared->results.clear();
}

void CClipInfoReader::Stop() {
    {
        std::lock_guard lock(m_pShared->mutex);
        m_pShared->stop = true;
        m_pShared->Clear();
        m_pShared->results.clear();
    }
    m_pShared->wake.notify_all();
    if (!m_worker.joinable())
        return;
    std::unique_lock lock(m_pShared->mutex);
    const bool ended =
        m_pShared->finished.wait_for(lock, kStopWait, [&] { return m_pShared->done; });
    lock.unlock();
    if (ended)
        m_worker.join();
    else
        m_worker.detach(); // it holds its share of the state and ends after the current file
}
