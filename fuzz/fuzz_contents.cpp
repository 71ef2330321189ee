// Arbitrary bytes as a contents record and an address: building the contents
// must never crash, hang or run away with memory, must give the tree, index,
// resource list and entry table the plain rules give, and serving the address
// and sorting the index afterwards must hold to their own rules.
//
// Input: the address, a NUL byte, then the contents text; without a NUL the
// whole input is the contents text and the address is "index.htm".
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/text.h"
#include "contents_reference.h"
#include "document/writer.h"
#include "server/ht_server.h"
#include "server/index_order.h"

namespace {

using q3::fuzz::ReferenceContents;
using q3::server::ContentsEntry;
using q3::server::MemoryContentsModel;
using q3::server::Tdm_htServer;

void Require(bool condition) {
    if (!condition)
        __builtin_trap();
}

// A small document the addresses are served from: records 2 to 9 are pages
// and a picture, whatever numbers the fuzzed contents give its items.
Tdm_htServer& Server() {
    static Tdm_htServer* server = [] {
        q3::doc::QbxWriter w({});
        w.AddRecord("<ul>\n</ul>\nend\n");
        for (int r = 2; r < 10; ++r)
            w.AddRecord("<p>page " + std::to_string(r) + "</p>");
        w.AddRecord("GIF89a");
        const std::string bytes = w.Build();
        const int fd = memfd_create("contents.qbx", MFD_CLOEXEC);
        if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            std::abort();
        auto* s = new Tdm_htServer;
        if (s->OpenDocument("/proc/self/fd/" + std::to_string(fd), {}).kind !=
            q3::server::OpenOutcome::kOpened)
            std::abort();
        return s;
    }();
    return *server;
}

bool SameEntry(const ContentsEntry* e, const ReferenceContents& ref, int object) {
    if (e == nullptr || object < 0)
        return e == nullptr && object < 0;
    const auto& o = ref.objects[static_cast<size_t>(object)];
    return e->RecordNo == o.record && e->LocalPath == o.path &&
           (e->Node != q3::server::kNoNode) == o.has_node;
}

void CompareWithReference(const Tdm_htServer& srv, const MemoryContentsModel& model,
                          std::string_view contents) {
    const ReferenceContents ref = q3::fuzz::ParseReference(contents);

    const auto tree = model.DisplayOrder();
    const auto want_tree = ref.DisplayOrder();
    Require(tree.size() == want_tree.size() && model.NodeCount() == ref.nodes.size());
    for (size_t i = 0; i < tree.size(); ++i) {
        const auto& want = ref.nodes[static_cast<size_t>(want_tree[i].first)];
        Require(tree[i].second == want_tree[i].second);
        Require(model.Caption(tree[i].first) == want.caption);
        const ContentsEntry* e = model.At(tree[i].first).entry;
        Require(SameEntry(e, ref, want.object));
        Require(e == nullptr || e->Node == tree[i].first);
    }

    const auto& nodes = srv.Entries()->Nodes();
    Require(nodes.size() == ref.table.size());
    for (size_t i = 0; i < nodes.size(); ++i) {
        Require(nodes[i]->key == ref.table[i].first);
        Require(SameEntry(nodes[i]->value, ref, ref.table[i].second));
        Require(srv.Entries()->Get(nodes[i]->key) == nodes[i]->value);
    }

    const auto index = model.Index();
    Require(index.size() == ref.index.size());
    for (size_t i = 0; i < index.size(); ++i) {
        Require(index[i].text == ref.index[i].first);
        Require(SameEntry(index[i].entry, ref, ref.index[i].second));
    }
    const auto& resources = model.Resources();
    Require(resources.size() == ref.resources.size());
    for (size_t i = 0; i < resources.size(); ++i) {
        Require(resources[i].text == ref.resources[i].first);
        Require(SameEntry(resources[i].entry, ref, ref.resources[i].second));
    }
}

void ServeAndSort(Tdm_htServer& srv, const MemoryContentsModel& model, std::string_view address) {
    for (const std::string& full :
         {std::string(q3::server::kUrlPrefix) + std::string(address), std::string(address)}) {
        std::string body;
        const bool found = srv.ReadDataByStream(full, body);
        if (!found)
            Require(body == q3::server::kPlaceholderPage);
    }
    const ContentsEntry* e = srv.Lookup(q3::AsciiLower(address));
    Require(e == nullptr || e->LocalPath.size() <= q3::server::kLocalPathCapacity);

    const auto sorted = model.SortedIndex();
    Require(sorted.size() == model.Index().size());
    const q3::server::IndexOrder order;
    for (size_t i = 1; i < sorted.size(); ++i)
        Require(!(order.Key(sorted[i].text) < order.Key(sorted[i - 1].text)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t nul = input.find('\0');
    const std::string_view address =
        nul == std::string_view::npos ? "index.htm" : input.substr(0, nul);
    const std::string_view contents = nul == std::string_view::npos ? input : input.substr(nul + 1);

    Tdm_htServer& srv = Server();
    MemoryContentsModel model;
    Require(srv.LoadContents(contents, model));
    CompareWithReference(srv, model, contents);
    ServeAndSort(srv, model, address);
    return 0;
}
