// A book opened ahead of the window: the document is opened and its contents
// read on a thread of their own while the toolkit and the window start, so
// that the first page can be asked for as soon as there is a page to show it
// in, and a large book delays the start little more than a small one.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "server/ht_server.h"

namespace q3::server {

class BookPreparation {
  public:
    struct Result {
        // What the open came to. When the book opened, its document is in
        // `server` and `outcome.document` is empty; with damaged contents the
        // document is in `outcome.document`, as ReadyDocument gives it.
        OpenOutcome outcome;
        // Holds the opened document and the entry table the model refers
        // to, for the window's server to adopt (Tdm_htServer::AdoptContents).
        std::unique_ptr<Tdm_htServer> server;
    };

    // The model is filled on the thread, and `sealed` runs there once it is
    // filled; neither may be touched before Take has returned.
    BookPreparation(std::string path, doc::Locking locking, ContentsModel& model,
                    std::function<void()> sealed);
    // Stops the reading at its next turn and waits for the thread.
    ~BookPreparation();
    BookPreparation(const BookPreparation&) = delete;
    BookPreparation& operator=(const BookPreparation&) = delete;

    const std::string& Path() const { return path_; }

    // Waits for the thread and gives its result once. Nothing when the book
    // asks for a password (asking is the window's business), when the work
    // failed in an unforeseen way, or when it was taken before: the window
    // then opens the book itself, as it opens any other.
    std::optional<Result> Take();

  private:
    struct Stopped {};
    void Run() noexcept;

    std::string path_;
    doc::Locking locking_;
    ContentsModel& model_;
    std::function<void()> sealed_;
    std::atomic<bool> stop_{false};
    std::optional<Result> result_;
    std::thread thread_;  // last: it starts once the rest is in place
};

}  // namespace q3::server
