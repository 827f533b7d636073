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

#include "platform/dynamic_library.h"
#include "platform/host_threads.h"
#include "tools/pixelfold/progress.h"
#include "tools/pixelfold/system_text.h"

namespace pixelfold::host {
namespace {

// Ctrl-C cannot wake a waiting thread, so waits look at it this often.
constexpr auto kInterruptPoll = std::chrono::milliseconds(50);
constexpr std::size_t kWindowPerJob = 4;

struct Job {
    std::size_t index;
    Found found;
};

class Pipeline {
  public:
    Pipeline(const PluginSession& session, const Report& report, unsigned jobs)
        : session_(session), report_(report), window_(kWindowPerJob * jobs) {}

    // The walking thread's TakeFound: waits for room in the queue.
    bool Take(Found found) {
        std::unique_lock lock(mutex_);
        while (queue_.size() >= window_ && !InterruptRequested())
            changed_.wait_for(lock, kInterruptPoll);
        if (InterruptRequested()) return false;
        if (found.kind == Found::Kind::kFile || found.kind == Found::Kind::kNamedFile ||
            found.kind == Found::Kind::kMissing)
            ++files_;
        queue_.push_back(Job{found_++, std::move(found)});
        changed_.notify_all();
        return true;
    }

    void WalkDone(std::string stopped) {
        const std::lock_guard lock(mutex_);
        walked_ = true;
        stopped_ = std::move(stopped);
        changed_.notify_all();
    }

    std::string stopped() {
        const std::lock_guard lock(mutex_);
        return stopped_;
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

            FileOutput output = Output(reader, job.found, answers);

            lock.lock();
            finished_.emplace(job.index, std::move(output));
            --reading_;
            changed_.notify_all();
        }
    }

    // The calling thread: prints each file in order as it is finished, until every file found
    // is printed, or after Ctrl-C every file taken.
    RunOutcome PrintAll() {
        Progress progress;
        const bool outputOnTerminal = StandardOutputIsTerminal();
        RunOutcome outcome;
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
            const std::size_t total = walked_ ? files_ : 0;
            changed_.notify_all();
            lock.unlock();

            // The progress line never shares a line with output on the terminal.
            if (!output.err.empty() || (outputOnTerminal && !output.out.empty())) progress.Clear();
            std::cout << output.out;
            if (outputOnTerminal) std::cout.flush();
            std::cerr << output.err;
            outcome.filesRead += output.read ? 1 : 0;
            outcome.failures += output.failed ? 1 : 0;
            if (output.read || output.failed) progress.FileDone(total);
        }
        return outcome;
    }

  private:
    // No file is left to print once nothing is being read and nothing more will be taken.
    bool Ended() const {
        return reading_ == 0 && finished_.empty() &&
               (InterruptRequested() || (walked_ && queue_.empty()));
    }

    FileOutput Output(PluginReader& reader, const Found& found, std::vector<Answer>& answers) {
        FileOutput output;
        switch (found.kind) {
            case Found::Kind::kFile:
            case Found::Kind::kNamedFile:
                if (!found.message.empty()) output.err = "pixelfold: " + found.message + "\n";
                Read(reader, found.path, answers, output);
                break;
            case Found::Kind::kMissing:
                report_.Failure(found.path, FILE_E_NOT_FOUND, output, "no such file or folder");
                break;
            case Found::Kind::kWalkError:
                report_.WalkError(found.path, found.message, found.accessDenied, output);
                break;
            case Found::Kind::kNote:
                output.err = "pixelfold: " + found.message + "\n";
                break;
        }
        return output;
    }

    void Read(PluginReader& reader, const std::string& path, std::vector<Answer>& answers,
              FileOutput& output) {
        try {
            const HRESULT hr = reader.Read(path, answers);
            if (SUCCEEDED(hr)) {
                report_.Values(path, answers, output);
                return;
            }
            // The system's own reason, where it has one, says more than the plug-in's code.
            std::string why;
            if (hr == FILE_E_NOT_FOUND || hr == FILE_E_CANNOT_OPEN) {
                const std::string reason = WhyFileCannotBeOpened(path);
                if (!reason.empty()) why = "cannot be opened: " + SystemReason(reason);
            }
            report_.Failure(path, hr, output, why);
        } catch (const std::bad_alloc&) {
            const std::string err = std::move(output.err);
            output = FileOutput{};
            output.err = err;
            report_.Failure(path, E_OUTOFMEMORY, output);
        }
    }

    const PluginSession& session_;
    const Report& report_;
    const std::size_t window_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> queue_;                       // found, not yet taken
    std::map<std::size_t, FileOutput> finished_;  // read, not yet printed
    std::size_t found_ = 0;                       // things found, files or not: the order of output
    std::size_t files_ = 0;                       // files among them, for the progress line
    std::size_t printed_ = 0;
    std::size_t reading_ = 0;
    bool walked_ = false;
    std::string stopped_;
};

}  // namespace

RunOutcome ReadInOrder(const PluginSession& session, const Report& report, unsigned jobs,
                       const std::function<std::string(const TakeFound&)>& walk) {
    // Shared with the walking thread, which may outlive this call (see below).
    const auto pipeline = std::make_shared<Pipeline>(session, report, jobs);
    std::thread walker([pipeline, walk] {
        std::string stopped;
        try {
            stopped = walk([&pipeline](Found found) { return pipeline->Take(std::move(found)); });
        } catch (const std::exception& e) {
            stopped = std::string("the walk stopped: ") + e.what();
        }
        pipeline->WalkDone(std::move(stopped));
    });
    std::vector<std::thread> readers;
    for (unsigned i = 0; i < jobs; ++i)
        readers.emplace_back([&pipeline] { pipeline->Work(); });

    RunOutcome outcome = pipeline->PrintAll();
    for (std::thread& reader : readers)
        reader.join();
    outcome.interrupted = InterruptRequested();
    // After Ctrl-C the walk may still wait on a slow folder or on a list read from a terminal;
    // it is left to end with the process, which the caller ends without unwinding.
    if (outcome.interrupted && !pipeline->walked()) {
        walker.detach();
    } else {
        walker.join();
        outcome.stopped = pipeline->stopped();
    }
    return outcome;
}

}  // namespace pixelfold::host
