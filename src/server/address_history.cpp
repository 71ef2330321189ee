#include "server/address_history.h"

#include <algorithm>
#include <filesystem>

#include "common/ini_file.h"
#include "common/text.h"

namespace q3::server {

AddressHistory::AddressHistory(FileExists exists) : exists_(std::move(exists)) {
    if (!exists_) {
        exists_ = [](const std::string& p) {
            std::error_code ec;
            return std::filesystem::is_regular_file(p, ec);
        };
    }
}

int AddressHistory::Add(std::string_view address) {
    if (Trim(address).empty())
        return -1;
    const std::string low = AsciiLower(address);
    if (low == "http://" || low == "http:///" || low == "https://" || low == "https:///")
        return -1;
    std::string text(address);
    if (text.back() == '/')
        text.pop_back();
    if (known_.count(text) != 0) {
        auto it = std::find(items_.begin(), items_.end(), text);
        return static_cast<int>(it - items_.begin());
    }
    if (items_.size() >= kMaxItems) {
        known_.erase(items_.front());
        items_.erase(items_.begin());
    }
    known_.insert(text);
    items_.push_back(std::move(text));
    return static_cast<int>(items_.size()) - 1;
}

void AddressHistory::Reindex() {
    known_.clear();
    known_.insert(items_.begin(), items_.end());
}

void AddressHistory::ClearWebAddresses() {
    std::erase_if(items_, [](const std::string& s) { return s.rfind("http", 0) == 0; });
    Reindex();
}

void AddressHistory::ClearDocuments() {
    std::erase_if(items_, [&](const std::string& s) {
        return exists_(s) || s.find("http") == std::string::npos;
    });
    Reindex();
}

bool AddressHistory::Load(const std::string& path) {
    IniFile ini;
    if (!ini.Load(path))
        return false;
    // A damaged or hostile Count (2147483647) would make the start read keys
    // that are not there, one by one.
    const int stated = ini.ReadInteger("URLs", "Count", 0);
    const auto count = static_cast<int>(
        std::min<size_t>(static_cast<size_t>(std::max(stated, 0)), ini.KeyCount("URLs")));
    for (int n = 0; n < count; ++n) {
        const std::string url = ini.ReadString("URLs", "url" + std::to_string(n), "");
        if (!url.empty())
            Add(url);
    }
    return true;
}

bool AddressHistory::Store(const std::string& path) const {
    IniFile ini;
    if (!ini.Load(path))
        return false;
    int number = 0;
    for (const std::string& item : items_) {
        if (AsciiLower(item) == "about:blank")
            continue;
        ini.WriteString("URLs", "url" + std::to_string(number++), item);
    }
    ini.WriteInteger("URLs", "Count", number);
    return ini.Save(path);
}

bool IsDocumentItem(std::string_view item) {
    const size_t slash = item.find_last_of("\\/:");
    const std::string_view name = slash == std::string_view::npos ? item : item.substr(slash + 1);
    const size_t dot = name.rfind('.');
    return dot != std::string_view::npos && AsciiLower(name.substr(dot)) == ".qbx";
}

}  // namespace q3::server
