#include "playback/ClipInfoReader.h"

#include "core/ClipTags.h"
#include "core/PlaylistPaths.h"
#include "platform/FileSystem.h"
#include "platform/Heap.h"
#include "platform/MessageQueue.h"
#include "playback/GstSupport.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>
#include <mutex>
#include <taglib/fileref.h>
#include <taglib/mpegfile.h>
#include <taglib/mpegheader.h>
#include <taglib/mpegproperties.h>
#include <taglib/tag.h>
#include <unordered_set>
#include <utility>

using Clock = std::chrono::steady_clock;

struct CClipInfoReader::Shared {
    HWND hWnd = 0;
    UINT message = 0;
    std::mutex mutex;
    std::condition_variable wake;     // work, a cancel or the stop
    std::condition_variable finished; // a worker has ended
    // Whole requests as they came, taken from the front in runs: adding is one move.
    std::deque<std::vector<Request>> queue;
    std::size_t taken = 0;       // requests of the front batch handed to workers
    std::size_t waiting = 0;     // requests not yet handed over
    std::uint64_t nextOrder = 0; // the order number of the next request handed over
    void Clear() {
        queue.clear();
        taken = waiting = 0;
    }
    std::vector<Result> results;
    std::uint64_t generation = 0; // a cancel starts a new one
    unsigned running = 0;         // workers not yet ended
    bool stop = false;
};

namespace {

constexpr GstClockTime kFileTimeout = 5 * GST_SECOND;
constexpr std::size_t kBatchSize = 256;
constexpr std::size_t kRunLength = 32; // requests a worker takes at once
constexpr auto kBatchDelay = std::chrono::milliseconds(200);
constexpr auto kHoldWait = std::chrono::milliseconds(20);
// Files added in several steps (a folder read in parts) keep a worker's discoverer; it goes
// only once no file came for this long.
constexpr auto kIdleRelease = std::chrono::seconds(1);
constexpr auto kStopWait = std::chrono::milliseconds(300);
constexpr std::size_t kTagTextLimit = 512;

using Shared = CClipInfoReader::Shared;
using Request = CClipInfoReader::Request;
using Result = CClipInfoReader::Result;

// The file's size and last-write time as a clip keeps them; false for anything but a regular
// file, since a FIFO or a device would block the reader on open.
bool StatRegularFile(const std::string& path, Result& result) {
    const auto status = platform::GetFileStatus(path);
    if (!status || !status->isRegularFile)
        return false;
    result.nFileSize = std::int32_t(std::uint32_t(status->size & 0xFFFFFFFFu));
    result.tModified = std::int32_t(status->modified);
    return true;
}

// The types TagLib reads go to it alone, so a damaged file of such a type costs one failed
// open; only the others meet the discoverer.
bool TagLibReads(const std::string& path) {
    static const std::unordered_set<std::string> extensions = [] {
        std::unordered_set<std::string> names;
        for (const TagLib::String& ext : TagLib::FileRef::defaultFileExtensions())
            names.insert("." + ext.to8Bit(true));
        return names;
    }();
    return extensions.contains(core::ToLowerAscii(core::ExtensionWithDot(path)));
}

std::string TagLibText(const TagLib::String& text) {
    return core::CleanTagText(text.to8Bit(true), kTagTextLimit);
}

// An MP3 without a frame naming its length (Xing, Info or VBRI) has it estimated from the
// first frame's bit rate, which is wrong when the rate varies: its frames are counted instead,
// as the playing engine ends up doing. Such files are rare; encoders write that frame.
double CountedMpegSeconds(TagLib::MPEG::File& file) {
    const TagLib::MPEG::Properties* pProperties = file.audioProperties();
    if (!pProperties || pProperties->xingHeader())
        return -1;
    long long samples = 0;
    int rate = 0;
    for (long offset = file.firstFrameOffset(); offset >= 0;) {
        const TagLib::MPEG::Header header(&file, offset, false);
        if (!header.isValid() || header.frameLength() <= 0)
            break;
        samples += header.samplesPerFrame();
        rate = header.sampleRate();
        offset += header.frameLength();
    }
    return rate > 0 ? double(samples) / rate : -1;
}

bool ReadWithTagLib(Result& result) {
    TagLib::FileRef file(result.path.c_str(), true, TagLib::AudioProperties::Average);
    if (file.isNull())
        return false;
    if (const TagLib::AudioProperties* pProperties = file.audioProperties())
        result.seconds = core::WholeSeconds(pProperties->lengthInMilliseconds() / 1000.0);
    if (auto* pMpeg = dynamic_cast<TagLib::MPEG::File*>(file.file()))
        if (const double counted = CountedMpegSeconds(*pMpeg); counted >= 0)
            result.seconds = core::WholeSeconds(counted);
    if (const TagLib::Tag* pTag = file.tag()) {
        result.artist = TagLibText(pTag->artist());
        result.title = TagLibText(pTag->title());
    }
    return true;
}

// Where tracks carry names of their own, only the container's tags name the clip.
const GstTagList* ClipTags(GstDiscovererInfo* pInfo, const std::string& path) {
    if (!gstsupport::OnlyGlobalTagsName(path))
        return gst_discoverer_info_get_tags(pInfo);
    GstDiscovererStreamInfo* pTop = gst_discoverer_info_get_stream_info(pInfo);
    const GstTagList* pTags = nullptr;
    if (pTop && GST_IS_DISCOVERER_CONTAINER_INFO(pTop))
        pTags = gst_discoverer_container_info_get_tags(GST_DISCOVERER_CONTAINER_INFO(pTop));
    if (pTop)
        gst_discoverer_stream_info_unref(pTop);
    return pTags; // owned by the info
}

bool ReadWithDiscoverer(GstDiscoverer* pDiscoverer, Result& result) {
    gchar* pUri = gst_filename_to_uri(result.path.c_str(), nullptr);
    if (!pUri)
        return false;
    GstDiscovererInfo* pInfo = gst_discoverer_discover_uri(pDiscoverer, pUri, nullptr);
    g_free(pUri);
    if (!pInfo)
        return false;
    const bool ok = gst_discoverer_info_get_result(pInfo) == GST_DISCOVERER_OK;
    if (ok) {
        result.seconds = core::WholeSeconds(double(gst_discoverer_info_get_duration(pInfo)) /
                                            double(GST_SECOND));
        const GstTagList* pTags = ClipTags(pInfo, result.path);
        result.artist = gstsupport::TagText(pTags, GST_TAG_ARTIST);
        result.title = gstsupport::TagText(pTags, GST_TAG_TITLE);
    }
    gst_discoverer_info_unref(pInfo);
    return ok;
}

// One worker's discoverer, made for the first file TagLib does not read.
class CDiscovererSlot {
public:
    ~CDiscovererSlot() { Release(); }
    GstDiscoverer* Get() {
        std::string error;
        if (!m_pDiscoverer && gstsupport::EnsureInitialized(error))
            m_pDiscoverer = gst_discoverer_new(kFileTimeout, nullptr);
        return m_pDiscoverer;
    }
    // Between additions the pipeline, threads and buffers would only hold memory while a
    // clip plays; the next files get a new one. What the reading freed goes back as well.
    void Release() {
        if (m_pDiscoverer)
            g_clear_object(&m_pDiscoverer);
        platform::TrimHeap();
    }

private:
    GstDiscoverer* m_pDiscoverer = nullptr;
};

// Reads one file into result; false when there is nothing to report.
bool ReadOne(CDiscovererSlot& discoverer, const Request& request, Result& result) {
    if (!StatRegularFile(result.path, result))
        return false;
    if (request.bKnown) {
        if (result.nFileSize == request.nFileSize && result.tModified == request.tModified)
            return false;
        result.bChanged = true;
    }
    if (TagLibReads(result.path))
        return ReadWithTagLib(result);
    GstDiscoverer* pDiscoverer = discoverer.Get();
    return pDiscoverer && ReadWithDiscoverer(pDiscoverer, result);
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

enum class Fetched { Run, Nothing, Stopped };

// Waits for the next run of files. A worker holding results waits only a moment: when another
// one took the last files, what it holds goes out without waiting for more. Small additions
// are spread over the workers rather than taken by the first.
Fetched NextRun(Shared& shared, unsigned workers, bool holding, std::vector<Request>& run,
                std::uint64_t& order, std::uint64_t& generation) {
    run.clear();
    std::unique_lock lock(shared.mutex);
    const auto ready = [&] { return shared.stop || shared.waiting > 0; };
    if (!holding)
        shared.wake.wait(lock, ready);
    else if (!shared.wake.wait_for(lock, kHoldWait, ready))
        return Fetched::Nothing;
    if (shared.stop)
        return Fetched::Stopped;
    const std::size_t count = std::clamp<std::size_t>(shared.waiting / workers, 1, kRunLength);
    order = shared.nextOrder;
    while (run.size() < count && shared.waiting > 0) {
        std::vector<Request>& front = shared.queue.front();
        run.push_back(std::move(front[shared.taken++]));
        if (shared.taken == front.size()) {
            shared.queue.pop_front();
            shared.taken = 0;
        }
        --shared.waiting;
    }
    shared.nextOrder += run.size();
    generation = shared.generation;
    return Fetched::Run;
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

void Work(const std::shared_ptr<Shared>& pShared, unsigned workers) {
    CDiscovererSlot discoverer;
    std::vector<Result> batch;
    std::uint64_t batchGeneration = 0;
    Clock::time_point batchStart;
    std::vector<Request> run;
    std::uint64_t order = 0;
    std::uint64_t generation = 0;
    for (;;) {
        const Fetched fetched = NextRun(*pShared, workers, !batch.empty(), run, order, generation);
        if (fetched == Fetched::Stopped)
            break;
        if (fetched == Fetched::Nothing) {
            Deliver(*pShared, batch, batchGeneration);
            if (!MoreFilesSoon(*pShared, kIdleRelease))
                discoverer.Release();
            continue;
        }
        if (generation != batchGeneration)
            batch.clear();
        if (batch.empty())
            batchStart = Clock::now();
        batchGeneration = generation;
        for (Request& request : run) {
            Result result;
            result.key = request.key;
            result.path = std::move(request.path);
            result.order = order++;
            if (ReadOne(discoverer, request, result))
                batch.push_back(std::move(result));
        }
        const bool idle = QueueEmpty(*pShared);
        if (batch.size() >= kBatchSize || Clock::now() - batchStart >= kBatchDelay || idle)
            Deliver(*pShared, batch, batchGeneration);
        if (idle && !MoreFilesSoon(*pShared, kIdleRelease))
            discoverer.Release();
    }
    std::lock_guard lock(pShared->mutex);
    --pShared->running;
    pShared->finished.notify_all();
}

} // namespace

CClipInfoReader::CClipInfoReader(HWND hWnd, UINT message, unsigned workers)
    : m_pShared(std::make_shared<Shared>()),
      m_nWorkers(workers ? workers : std::max(1u, std::thread::hardware_concurrency())) {
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
        if (m_workers.empty())
            m_pShared->running = m_nWorkers;
    }
    for (unsigned i = unsigned(m_workers.size()); i < m_nWorkers; ++i)
        m_workers.emplace_back(Work, m_pShared, m_nWorkers);
    m_pShared->wake.notify_all();
}

std::vector<CClipInfoReader::Result> CClipInfoReader::TakeResults() {
    std::vector<Result> results;
    {
        std::lock_guard lock(m_pShared->mutex);
        results = std::exchange(m_pShared->results, {});
    }
    std::stable_sort(results.begin(), results.end(),
                     [](const Result& a, const Result& b) { return a.order < b.order; });
    return results;
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
    if (m_workers.empty())
        return;
    std::unique_lock lock(m_pShared->mutex);
    const bool ended =
        m_pShared->finished.wait_for(lock, kStopWait, [&] { return m_pShared->running == 0; });
    lock.unlock();
    // Workers still reading hold their share of the state and end after their current file.
    for (std::thread& worker : m_workers) {
        if (ended)
            worker.join();
        else
            worker.detach();
    }
    m_workers.clear();
}
