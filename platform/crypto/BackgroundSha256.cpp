#include "platform/crypto/BackgroundSha256.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

namespace {

// Below this many bytes a file is hashed by the caller: starting the thread would cost more.
constexpr std::int64_t HandOverFrom = 1024 * 1024;
// How many blocks may wait for the thread before the caller waits for it.
constexpr std::size_t MostWaiting = 16;

} // namespace

struct BackgroundSha256::Worker {
    explicit Worker(Sha256& digest) : digest(digest), thread([this] { run(); }) {}

    ~Worker()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
        }
        changed.notify_all();
        thread.join();
    }

    // Copies the bytes into a block the thread has finished with, so a download of any size
    // allocates no more than the few blocks that may wait.
    void add(const char* data, std::int64_t size)
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return waiting.size() < MostWaiting; });
        std::vector<char> block;
        if (!spare.empty()) {
            block = std::move(spare.back());
            spare.pop_back();
        }
        lock.unlock();
        block.assign(data, data + size);
        lock.lock();
        waiting.push_back(std::move(block));
        lock.unlock();
        changed.notify_all();
    }

    // Returns once everything handed over is in the digest.
    void drain()
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return waiting.empty() && !hashing; });
    }

    void run()
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return stopping || !waiting.empty(); });
            if (waiting.empty())
                return;
            std::vector<char> block = std::move(waiting.front());
            waiting.pop_front();
            hashing = true;
            lock.unlock();
            changed.notify_all();
            digest.addData(block.data(), static_cast<std::int64_t>(block.size()));
            lock.lock();
            spare.push_back(std::move(block));
            hashing = false;
            changed.notify_all();
        }
    }

    Sha256& digest;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::vector<char>> waiting;
    std::vector<std::vector<char>> spare;
    bool hashing = false;
    bool stopping = false;
    // Last: it starts running once everything above is ready.
    std::thread thread;
};

BackgroundSha256::BackgroundSha256() = default;

BackgroundSha256::~BackgroundSha256() = default;

void BackgroundSha256::addData(const char* data, std::int64_t size)
{
    if (size <= 0)
        return;
    m_fed += size;
    if (!m_worker && m_fed <= HandOverFrom) {
        m_digest.addData(data, size);
        return;
    }
    if (!m_worker)
        m_worker = std::make_unique<Worker>(m_digest);
    m_worker->add(data, size);
}

void BackgroundSha256::reset()
{
    if (m_worker)
        m_worker->drain();
    m_digest.reset();
    m_fed = 0;
}

QString BackgroundSha256::hexResult() const
{
    if (m_worker)
        m_worker->drain();
    return m_digest.hexResult();
}

} // namespace platform
