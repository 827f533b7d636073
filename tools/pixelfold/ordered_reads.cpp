// tools/pixelfold/ordered_reads.cpp: one walking thread, the reading threads, and the
// printing in order on the calling thread, around one queue and one table of finished files.
#include "tools/pixelfold/ordered_reads.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "platform/host_threads.h"
#include "tools/pixelfold/progress.h"

namespace pixelfold::host {
namespace {

// Ctrl-C cannot wake a waiting thread, so waits look at it this often.
constexpr auto kInterruptPoll = std::chrono::milliseconds(50);
constexpr std::size_t kWindowPerJob = 4;

struct Job {
    std::size_t index;
    std::string path;
};

class Pipeline {
  public:
    Pipeline(const PluginSession& session, const Report& report, unsigned jobs)
        : session_(session), report_(report), window_(kWindowPerJob * jobs) {}

    // The walking thread's TakeFile: waits for room in the queue.
    bool Take(const std::string& path) {
        std::unique_lock lock(mutex_);
        while (queue_.size() >= window_ && !InterruptRequested())
            changed_.wait_for(lock, kInterruptPoll);
        if (InterruptRequested()) return false;
        queue_.push_back(Job{found_++, path});
        changed_.notify_all();
        return true;
    }

    void WalkDone() {
        const std::lock_guard lock(mutex_);
        walked_ = true;
        changed_.notify_all();
    }

    bool walked() {
        const std::lock_guard lock(mutex_);
        return walked_;
    }

    // A reading thread: takes the next file while it is inside the window of the one to be
    // printed next, until there are no more or Ctrl-C.
    void Work() {
        const MultithreadedApartment apartment;
        PluginReader reader(session_);
        std::vector<Answer> answers;
        for (;;) {
            std::unique_lock lock(mutex_);
            while (!InterruptRequested() && !(walked_ && queue_.empty()) &&
                   !(!queue_.empty() && queue_.front().index < printed_ + window_)) {
                changed_.wait_for(lock, kInterruptPoll);
            }
            if (InterruptRequested() || queue_.empty()) return;
            Job job = std::move(queue_.front());
            queue_.pop_front();
            ++reading_;
            changed_.notify_all();
            lock.unlock();

            FileOutput output = Read(reader, job.path, answers);

            lock.lock();
            finished_.emplace(job.index, std::move(output));
            --reading_;
            changed_.notify_all();
        }
    }

    // The calling thread: prints each file in order as it is finished, until every file found
    // is printed, or after Ctrl-C every file taken.
    bool PrintAll() {
        Progress progress;
        bool anyFailed = false;
        for (;;) {
            std::unique_lock lock(mutex_);
            auto next = finished_.find(printed_);
            while (next == finished_.end() && !Ended()) {
                changed_.wait_for(lock, kInterruptPoll);
                next = finished_.find(printed_);
            }
            if (next == finished_.end()) break;
            const FileOutput output = std::move(next->second);
            finished_.erase(next);
            ++printed_;
            const std::size_t total = walked_ ? found_ : 0;
            changed_.notify_all();
            lock.unlock();

            std::cout << output.out;
            std::cerr << output.err;
            anyFailed = anyFailed || output.failed;
            progress.FileDone(total);
        }
        return anyFailed;
    }

  private:
    // No file is left to print once nothing is being read and nothing more will be taken.
    bool Ended() const {
        return reading_ == 0 && finished_.empty() &&
               (InterruptRequested() || (walked_ && queue_.empty()));
    }

    FileOutput Read(PluginReader& reader, const std::string& path, std::vector<Answer>& answers) {
        FileOutput output;
        try {
            const HRESULT hr = reader.Read(path, answers);
            if (SUCCEEDED(hr)) {
                report_.Values(path, answers, output);
            } else {
                report_.Failure(path, hr, output);
            }
        } catch (const std::bad_alloc&) {
            output = FileOutput{};
            report_.Failure(path, E_OUTOFMEMORY, output);
        }
        return output;
    }

    const PluginSession& session_;
    const Report& report_;
    const std::size_t window_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> queue_;                       // found, not yet taken
    std::map<std::size_t, FileOutput> finished_;  // read, not yet printed
    std::size_t found_ = 0;
    std::size_t printed_ = 0;
    std::size_t reading_ = 0;
    bool walked_ = false;
};

}  // namespace

RunOutcome ReadInOrder(const PluginSession& session, const Report& report, unsigned jobs,
                       const std::function<void(const TakeFile&)>& walk) {
    // Shared with the walking thread, which may outlive this call (see below).
    const auto pipeline = std::make_shared<Pipeline>(session, report, jobs);
    std::thread walker([pipeline, walk] {
        try {
            walk([&pipeline](const std::string& path) { return pipeline->Take(path); });
        } catch (const std::exception& e) {
            std::cerr << "pixelfold: the walk stopped: " << e.what() << "\n";
        }
        pipeline->WalkDone();
    });
    std::vector<std::thread> readers;
    for (unsigned i = 0; i < jobs; ++i)
        readers.emplace_back([&pipeline] { pipeline->Work(); });

    RunOutcome outcome;
    outcome.anyFailed = pipeline->PrintAll();
    for (std::thread& reader : readers)
        reader.join();
    outcome.interrupted = InterruptRequested();
    // After Ctrl-C the walk may still wait on a slow folder or on a list read from a terminal;
    // it is left to end with the process, which the caller ends without unwinding.
    if (outcome.interrupted && !pipeline->walked()) {
        walker.detach();
    } else {
        walker.join();
    }
    return outcome;
}

}  // namespace pixelfold::host
