#include "server/book_preparation.h"

#include <exception>

#include "common/trace.h"

namespace q3::server {

BookPreparation::BookPreparation(std::string path, doc::Locking locking, ContentsModel& model,
                                 std::function<void()> sealed)
    : path_(std::move(path)),
      locking_(locking),
      model_(model),
      sealed_(std::move(sealed)),
      thread_([this] { Run(); }) {}

BookPreparation::~BookPreparation() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

std::optional<BookPreparation::Result> BookPreparation::Take() {
    if (thread_.joinable())
        thread_.join();
    std::optional<Result> taken = std::move(result_);
    result_.reset();
    return taken;
}

void BookPreparation::Run() noexcept {
    try {
        auto server = std::make_unique<Tdm_htServer>();
        server->SetDocumentLocking(locking_);
        // The parser's turns are where an abandoned start gets out of a long
        // contents.
        server->SetPumpHook([this] {
            if (stop_)
                throw Stopped{};
        });
        bool password_asked = false;
        OpenOutcome outcome = server->ReadyDocument(
            path_, [&password_asked](doc::TQBXManage&, std::string& password) {
                password_asked = true;
                password.clear();
            });
        // The refused password closed the document, and its lock went with it.
        if (password_asked)
            return;
        if (outcome.kind == OpenOutcome::kOpened) {
            server->AdoptDocument(std::move(outcome.document));
            server->LoadContents(outcome.contents_text, model_);
            outcome.contents_text = std::string();
            if (sealed_)
                sealed_();
        }
        result_ = Result{std::move(outcome), std::move(server)};
    } catch (const Stopped&) {
    } catch (const std::exception& e) {
        DebugTrace("BookPreparation", e.what());
    } catch (...) {
        DebugTrace("BookPreparation", "unknown error");
    }
}

}  // namespace q3::server
