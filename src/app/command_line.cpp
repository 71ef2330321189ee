#include "command_line.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string_view>

#include "common/gbk.h"
#include "common/licence.h"
#include "server/ht_server.h"

#ifndef QUILLON3_VERSION
#define QUILLON3_VERSION "0"
#endif

namespace q3::app {

const std::vector<Option>& Options() {
    static const std::vector<Option> options = {
        {"-h", "--help", InfoRequest::kHelp, "print this help and exit"},
        {"-V", "--version", InfoRequest::kVersion, "print the version and licence and exit"},
        {"", "--page", InfoRequest::kNone, "show this page of FILE (a path inside the book)",
         "PATH"},
        {"", "--search", InfoRequest::kNone, "search the whole of FILE for WORD", "WORD"},
        {"", "--", InfoRequest::kNone, "take the next argument as FILE even if it starts with -"},
    };
    return options;
}

InfoRequest InfoRequestOf(const std::vector<std::string>& args) {
    if (args.empty())
        return InfoRequest::kNone;
    const std::string& first = args.front();
    for (const Option& option : Options()) {
        if (first == option.short_name || first == option.long_name)
            return option.request;
    }
    return InfoRequest::kNone;
}

namespace {

std::string HelpText() {
    std::string text =
        "Usage: quillon3 [--page PATH] [--search WORD] [FILE]\n"
        "Reads QBX e-books. FILE, when it names an existing document, is opened\n"
        "at start; other arguments are ignored. When a reader with the same\n"
        "settings folder is running already, FILE is opened in its window.\n"
        "\n";
    for (const Option& option : Options()) {
        std::string names = option.short_name;
        if (!names.empty())
            names += ", ";
        names += option.long_name;
        if (*option.value != '\0')
            names += std::string(" ") + option.value;
        names.resize(std::max<size_t>(names.size() + 2, 16), ' ');
        text += "  " + names + option.help + "\n";
    }
    text += "\nSee quillon3(1) and qbxtool(1).\n";
    return text;
}

}  // namespace

std::string InfoText(InfoRequest request) {
    switch (request) {
        case InfoRequest::kHelp:
            return HelpText();
        case InfoRequest::kVersion:
            return "quillon3 (Quillon3) " QUILLON3_VERSION ", build " +
                   std::to_string(server::kReaderBuild) + "\n" + kCopyrightLine + "\n" +
                   kLicenceNotice;
        case InfoRequest::kNone:
            break;
    }
    return {};
}

namespace {

constexpr std::string_view kPage = "--page";
constexpr std::string_view kSearch = "--search";

// The value of an option given as "--name=value"; none for other arguments.
std::optional<std::string> AttachedValue(const std::string& arg, std::string_view name) {
    if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=')
        return arg.substr(name.size() + 1);
    return std::nullopt;
}

std::string NeedsValue(std::string_view name, const char* value) {
    return "option '" + std::string(name) + "' needs a " + value;
}

// Fills the request's options and book; false with the error set on bad usage.
bool ReadArguments(const std::vector<std::string>& args, StartRequest& request) {
    bool book_named = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string* target = nullptr;
        std::string_view name;
        if (arg == kPage || AttachedValue(arg, kPage)) {
            target = &request.page;
            name = kPage;
        } else if (arg == kSearch || AttachedValue(arg, kSearch)) {
            target = &request.search_word;
            name = kSearch;
        }
        if (target != nullptr) {
            std::optional<std::string> value = AttachedValue(arg, name);
            if (!value && i + 1 < args.size())
                value = args[++i];
            if (!value || value->empty()) {
                request.error = NeedsValue(name, name == kPage ? "PATH" : "WORD");
                return false;
            }
            // The window shows them as text; bytes that are no text would
            // find nothing.
            if (!IsValidUtf8(*value)) {
                request.error = "the value of '" + std::string(name) + "' is not UTF-8 text";
                return false;
            }
            *target = std::move(*value);
        } else if (arg == "--") {
            // What follows is the book, if it is not named yet; then nothing
            // more is read.
            if (!book_named && i + 1 < args.size())
                request.book = args[i + 1];
            return true;
        } else if (!book_named) {
            request.book = arg;
            book_named = true;
        }
    }
    return true;
}

}  // namespace

StartRequest ParseStartRequest(const std::vector<std::string>& args,
                               const std::function<bool(const std::string&)>& is_file) {
    StartRequest request;
    if (!ReadArguments(args, request))
        return request;
    if (request.page.empty() && request.search_word.empty())
        return request;
    const char* option = request.page.empty() ? "--search" : "--page";
    if (request.book.empty())
        request.error = std::string("option '") + option + "' needs a FILE to open";
    else if (!is_file(request.book))
        request.error = request.book + ": no such file";
    return request;
}

std::vector<std::string> ForwardedArguments(const StartRequest& request, const std::string& cwd) {
    std::vector<std::string> args;
    if (!request.page.empty())
        args.push_back(std::string(kPage) + "=" + request.page);
    if (!request.search_word.empty())
        args.push_back(std::string(kSearch) + "=" + request.search_word);
    if (!request.book.empty()) {
        std::filesystem::path book(request.book);
        if (book.is_relative())
            book = std::filesystem::path(cwd) / book;
        args.push_back(book.lexically_normal().string());
    }
    return args;
}

}  // namespace q3::app
