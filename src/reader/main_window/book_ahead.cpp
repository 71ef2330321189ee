#include "reader/main_window/book_ahead.h"

#include <filesystem>
#include <system_error>

namespace q3::reader {

std::string StartBookPath(const std::string& argument) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(argument, ec);
    if (ec)
        return argument;
    return absolute.lexically_normal().string();
}

TBookAhead::TBookAhead(std::string path)
    : contents_(std::make_shared<TContentsData>()),
      preparation_(std::move(path), kReaderLocking, contents_->model,
                   [contents = contents_.get()] { contents->Seal(); }) {}

std::optional<TBookAhead::Prepared> TBookAhead::Take(const std::string& path) {
    if (path != preparation_.Path())
        return std::nullopt;
    std::optional<server::BookPreparation::Result> result = preparation_.Take();
    if (!result)
        return std::nullopt;
    Prepared prepared{std::move(*result), nullptr};
    if (prepared.result.outcome.kind == server::OpenOutcome::kOpened)
        prepared.contents = std::move(contents_);
    return prepared;
}

}  // namespace q3::reader
