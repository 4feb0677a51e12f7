#include "tests/support/ThreadsAtExit.h"

#include "tests/support/WaitFor.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <unistd.h>

namespace {

// The name a thread gave itself ("Thread (pooled)", "QDBusConnection"), or its number.
std::string threadName(const std::string& id)
{
    std::string name = id;
    if (FILE* comm = std::fopen(("/proc/self/task/" + id + "/comm").c_str(), "r")) {
        char line[64] = {};
        if (std::fgets(line, sizeof line, comm)) {
            name = line;
            if (!name.empty() && name.back() == '\n')
                name.pop_back();
            name += " (" + id + ')';
        }
        std::fclose(comm);
    }
    return name;
}

// The system's list of this process's threads, the calling one left out. Runs during exit,
// when the toolkit may be half gone: only the C library is used.
std::vector<std::string> otherThreads()
{
    std::vector<std::string> ids;
    DIR* tasks = ::opendir("/proc/self/task");
    if (!tasks)
        return ids;
    const std::string self = std::to_string(::gettid());
    while (const dirent* entry = ::readdir(tasks)) {
        const std::string id = entry->d_name;
        if (id != "." && id != ".." && id != self)
            ids.push_back(id);
    }
    ::closedir(tasks);
    return ids;
}

void waitForOtherThreads()
{
    // The system removes a thread from the list once it has ended; nothing announces it, so
    // the list is looked at again in short slices.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(DefaultPatienceMs);
    std::vector<std::string> others = otherThreads();
    while (!others.empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        others = otherThreads();
    }
    if (others.empty())
        return;
    std::string names;
    for (const std::string& id : others)
        names += (names.empty() ? "" : ", ") + threadName(id);
    std::fprintf(stderr, "Threads still running at exit: %s\n", names.c_str());
}

} // namespace

void waitForOtherThreadsAtExit()
{
    if (std::atexit(waitForOtherThreads) != 0)
        std::fprintf(stderr, "Cannot make the exit wait for the other threads\n");
}
