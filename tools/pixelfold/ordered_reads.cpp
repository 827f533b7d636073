// tools/pixelfold/ordered_reads.cpp: one walking thread, the reading threads, and the
// printing in order on the calling thread, around one queue and one window of finished files;
// or all of it on the calling thread, one file after another.
#include "tools/pixelfold/ordered_reads.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <iostream>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
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
// How far ahead of the file printed next each reader may read, and the most files it takes
// at once. A run holds up the files after it until it is all read, so it stays a small share
// of the window.
constexpr std::size_t kWindowPerJob = 32;
constexpr std::size_t kLargestRun = 8;

struct Job {
    std::size_t index;
    Found found;
};

void Read(const Report& report, PluginReader& reader, const std::string& path,
          std::vector<Answer>& answers, FileOutput& output) {
    try {
        const HRESULT hr = reader.Read(path, answers);
        if (SUCCEEDED(hr)) {
            report.Values(path, answers, output);
            return;
        }
        // The system's own reason, where it has one, says more than the plug-in's code.
        std::string why;
        if (hr == FILE_E_NOT_FOUND || hr == FILE_E_CANNOT_OPEN) {
            const std::string reason = WhyFileCannotBeOpened(path);
            if (!reason.empty()) why = "cannot be opened: " + SystemReason(reason);
        }
        report.Failure(path, hr, output, why);
    } catch (const std::bad_alloc&) {
        const std::string err = std::move(output.err);
        output = FileOutput{};
        output.err = err;
        report.Failure(path, E_OUTOFMEMORY, output);
    }
}

// What one thing found prints.
FileOutput OutputFor(const Report& report, PluginReader& reader, const Found& found,
                     std::vector<Answer>& answers) {
    FileOutput output;
    switch (found.kind) {
        case Found::Kind::kFile:
        case Found::Kind::kNamedFile:
            if (!found.message.empty()) output.err = "pixelfold: " + found.message + "\n";
            Read(report, reader, found.path, answers, output);
            break;
        case Found::Kind::kMissing:
            report.Failure(found.path, FILE_E_NOT_FOUND, output, "no such file or folder");
            break;
        case Found::Kind::kWalkError:
            report.WalkError(found.path, found.message, found.accessDenied, output);
            break;
        case Found::Kind::kNote:
            output.err = "pixelfold: " + found.message + "\n";
            break;
    }
    return output;
}

// Prints each file's output as it comes, with the progress line, and counts what was read.
class Printer {
  public:
    void Print(const FileOutput& output, std::size_t total) {
        // The progress line never shares a line with output on the terminal.
        if (!output.err.empty() || (outputOnTerminal_ && !output.out.empty())) progress_.Clear();
        std::cout << output.out;
        if (outputOnTerminal_) std::cout.flush();
        // Standard error is tied to standard output: writing to it, even nothing, flushes
        // standard output, a write per file.
        if (!output.err.empty()) std::cerr << output.err;
        outcome_.filesRead += output.read ? 1 : 0;
        outcome_.failures += output.failed ? 1 : 0;
        if (output.read || output.failed) progress_.FileDone(total);
    }
    const RunOutcome& outcome() const { return outcome_; }
    void Finish(std::size_t total) { progress_.Finish(total); }

  private:
    Progress progress_;
    const bool outputOnTerminal_ = StandardOutputIsTerminal();
    RunOutcome outcome_;
};

bool CountsAsFile(const Found& found) {
    return found.kind == Found::Kind::kFile || found.kind == Found::Kind::kNamedFile ||
           found.kind == Found::Kind::kMissing;
}

// The walking thread, the reading threads and the printing thread meet here. Each waits on a
// condition of its own and is woken only when that may have changed: the walker when the queue
// has drained to half, a reader when a file it may take is queued, the printer when the file it
// prints next is finished. Files change hands in runs rather than one at a time, since waking
// a thread costs more than reading a small file: a reader takes its share of what is queued (up
// to kLargestRun) and hands back the outputs of the run together; the printer takes every
// finished output in order at once.
class Pipeline {
  public:
    Pipeline(const PluginSession& session, const Report& report, unsigned jobs)
        : session_(session),
          report_(report),
          jobs_(jobs),
          window_(kWindowPerJob * jobs),
          finished_(window_) {}

    // The walking thread's TakeFound: waits for room in the queue.
    bool Take(Found found) {
        std::unique_lock lock(mutex_);
        while (queue_.size() >= window_ && !InterruptRequested())
            room_.wait_for(lock, kInterruptPoll);
        if (InterruptRequested()) return false;
        if (CountsAsFile(found)) ++files_;
        queue_.push_back(Job{found_++, std::move(found)});
        work_.notify_one();
        return true;
    }

    void WalkDone(std::string stopped) {
        const std::lock_guard lock(mutex_);
        walked_ = true;
        stopped_ = std::move(stopped);
        work_.notify_all();
        done_.notify_one();
    }

    std::string stopped() {
        const std::lock_guard lock(mutex_);
        return stopped_;
    }

    bool walked() {
        const std::lock_guard lock(mutex_);
        return walked_;
    }

    // A reading thread: takes the next run of files inside the window of the one to be printed
    // next, until there are no more or Ctrl-C.
    void Work() {
        const MultithreadedApartment apartment;
        PluginReader reader(session_);
        std::vector<Answer> answers;
        std::vector<Job> run;
        std::vector<FileOutput> outputs;
        for (;;) {
            std::unique_lock lock(mutex_);
            while (!InterruptRequested() && !(walked_ && queue_.empty()) && !MayTake())
                work_.wait_for(lock, kInterruptPoll);
            if (InterruptRequested() || queue_.empty()) return;
            TakeRun(run);
            ++reading_;
            lock.unlock();

            outputs.clear();
            for (const Job& job : run)
                outputs.push_back(OutputFor(report_, reader, job.found, answers));

            lock.lock();
            bool printable = false;
            for (std::size_t i = 0; i < run.size(); ++i) {
                finished_[run[i].index % window_] = std::move(outputs[i]);
                printable = printable || run[i].index == printed_;
            }
            --reading_;
            if (printable || reading_ == 0) done_.notify_one();
        }
    }

    // The calling thread: prints each file in order as it is finished, until every file found
    // is printed, or after Ctrl-C every file taken.
    RunOutcome PrintAll() {
        Printer printer;
        std::vector<FileOutput> ready;
        std::size_t total = 0;
        for (;;) {
            std::unique_lock lock(mutex_);
            while (!finished_[printed_ % window_] && !Ended())
                done_.wait_for(lock, kInterruptPoll);
            ready.clear();
            for (std::optional<FileOutput>* next = &finished_[printed_ % window_]; *next;
                 next = &finished_[printed_ % window_]) {
                ready.push_back(std::move(**next));
                next->reset();
                ++printed_;
            }
            if (ready.empty()) break;
            total = walked_ ? files_ : 0;
            if (MayTake()) work_.notify_all();
            lock.unlock();
            for (const FileOutput& output : ready)
                printer.Print(output, total);
        }
        {
            const std::lock_guard lock(mutex_);
            if (walked_ && !InterruptRequested()) printer.Finish(files_);
        }
        return printer.outcome();
    }

  private:
    // Whether the next queued file lies inside the window of the one to be printed next.
    bool MayTake() const { return !queue_.empty() && queue_.front().index < printed_ + window_; }

    // Moves this reader's share of the queued files inside the window into `run`, and wakes
    // the walker once the queue is down to half, the other readers while files remain.
    void TakeRun(std::vector<Job>& run) {
        run.clear();
        const std::size_t share = std::min(kLargestRun, (queue_.size() + jobs_ - 1) / jobs_);
        while (run.size() < share && MayTake()) {
            run.push_back(std::move(queue_.front()));
            queue_.pop_front();
        }
        if (queue_.size() <= window_ / 2) room_.notify_one();
        if (MayTake()) work_.notify_one();
    }

    // No file is left to print once nothing is being read and nothing more will be taken.
    bool Ended() const {
        return reading_ == 0 && (InterruptRequested() || (walked_ && queue_.empty()));
    }

    const PluginSession& session_;
    const Report& report_;
    const std::size_t jobs_;
    const std::size_t window_;

    std::mutex mutex_;
    std::condition_variable room_;  // the walker's
    std::condition_variable work_;  // the readers'
    std::condition_variable done_;  // the printer's
    std::deque<Job> queue_;         // found, not yet taken
    // Read, not yet printed: the file found as `index` waits at `index % window_`; a reader
    // takes only files inside the window, so no two wait at one place.
    std::vector<std::optional<FileOutput>> finished_;
    std::size_t found_ = 0;  // things found, files or not: the order of output
    std::size_t files_ = 0;  // files among them, for the progress line
    std::size_t printed_ = 0;
    std::size_t reading_ = 0;  // readers with a run in hand
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

RunOutcome ReadOneByOne(const PluginSession& session, const Report& report,
                        const std::function<std::string(const TakeFound&)>& walk) {
    const MultithreadedApartment apartment;
    PluginReader reader(session);
    std::vector<Answer> answers;
    Printer printer;
    const std::string stopped = walk([&](const Found& found) {
        if (InterruptRequested()) return false;
        printer.Print(OutputFor(report, reader, found, answers), 0);
        return true;
    });
    RunOutcome outcome = printer.outcome();
    outcome.interrupted = InterruptRequested();
    outcome.stopped = stopped;
    return outcome;
}

}  // namespace pixelfold::host
