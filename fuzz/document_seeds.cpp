// Writes the seed documents of the document fuzz target into a folder: small,
// valid documents of each shape the reader meets, so the fuzzer starts past
// the magic, the version, the size check and the password.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "document/format.h"
#include "document/record_codec.h"
#include "document/writer.h"

namespace {

using namespace q3::doc;

// The password the fuzz target's provider answers with.
constexpr char kPassword[] = "fuzz";

const char kContents[] =
    "<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"One\">"
    "<param name=\"Local\" value=\"one.htm\" id=\"2\"></object></ul>";
const char kShortPage[] = "<p>short</p>";  // stored in fewer than 64 bytes
const char kLongPage[] =
    "<html><head><title>\xB5\xDA\xD2\xBB\xD5\xC2</title></head><body><p>"
    "\xD5\xE2\xCA\xC7\xB5\xDA\xD2\xBB\xD5\xC2\xA3\xAC\xC4\xDA\xC8\xDD\xD3\xD0"
    "\xB2\xBB\xC9\xD9\xD7\xD6\xA1\xA3</p><p>Some ASCII text follows the GBK, with "
    "<a href=\"two.htm#top\">a link</a> and an <img src=\"pic.jpg\">.</p></body></html>";

void Save(const std::filesystem::path& dir, const char* name, const QbxWriter& w) {
    w.WriteFile((dir / name).string());
}

QbxWriter Book(const std::string& password, int level) {
    DocumentInfo info;
    info.Subject = "Seed";
    info.BookAuthor = "Author";
    info.Password = password;
    QbxWriter w(info);
    w.AddRecord(kContents, level);
    w.AddRecord(kShortPage, level);
    w.AddRecord(kLongPage, level);
    w.AddRecord(kLongPage, level);
    return w;
}

// A record whose size field claims less than its stream holds: the reader
// keeps the first bytes and still checks the whole stream.
QbxWriter SmallerSizeField() {
    QbxWriter w({});
    w.AddRecord(kContents);
    std::string plain = CompressRecord(kLongPage);
    PutU32(plain, 0, 16);
    w.ReserveRecord();
    w.SetStoredRecord(2, SealRecord(plain, w.Key()));
    w.AddRecord(kShortPage);
    return w;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[1];
        std::filesystem::create_directories(dir);
        Save(dir, "seed-plain.qbx", Book("", 6));
        Save(dir, "seed-stored-blocks.qbx", Book("", 0));  // bytes the fuzzer can flip freely
        Save(dir, "seed-password.qbx", Book(kPassword, 6));
        Save(dir, "seed-smaller-size.qbx", SmallerSizeField());
        QbxWriter contents_only({});
        contents_only.AddRecord(kContents);
        Save(dir, "seed-contents-only.qbx", contents_only);
        Save(dir, "seed-empty.qbx", QbxWriter({}));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fuzz_document_seeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
