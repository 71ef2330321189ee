// info, records, record and verify: looking into a document's container.
#include <cstdio>
#include <string>

#include "cli.h"
#include "common/crc.h"
#include "document/format.h"
#include "document/record_walk.h"

namespace q3::tool {

int CmdInfo(const Args& args) {
    if (args.positional.size() != 1)
        return Usage("info takes one FILE");
    auto doc = OpenDocument(args.positional[0], args);
    if (!doc)
        return kCannot;
    const doc::VersionBlock& v = doc->Version();
    std::printf("FileName: %s\n", doc->FileName().c_str());
    std::printf("Subject: %s\n", Utf8(v.Subject).c_str());
    std::printf("BookAuthor: %s\n", Utf8(v.BookAuthor).c_str());
    std::printf("Producer: %s\n", Utf8(v.Producer).c_str());
    std::printf("Remarks: %s\n", Utf8(v.Remarks).c_str());
    std::printf("FormatVersion: %u\n", v.FormatVersion);
    std::printf("CreatedAt: %s\n", doc::FormatDosDateTime(v.CreatedAt).c_str());
    std::printf("DirectoryCount: %d\n", doc->DirectoryCount());
    std::printf("DocumentCheck: %08X\n", doc->DocumentCheck());
    std::printf("Protected: %s\n", doc->Protected() ? "yes" : "no");
    return kOk;
}

int CmdRecords(const Args& args) {
    if (args.positional.size() != 1)
        return Usage("records takes one FILE");
    auto doc = OpenDocument(args.positional[0], args);
    if (!doc)
        return kCannot;
    int status = kOk;
    doc::RecordWalk walk(*doc, 1, doc->DirectoryCount());
    walk.Run([&](int32_t r, doc::RecordError err, const std::string& content) {
        doc::DirectoryEntry e;
        if (!doc->ReadEntry(r, e)) {
            std::printf("%d\t-\t-\t-\t%s\n", r, doc::Describe(doc::RecordError::kNoEntry));
            status = kDamage;
            return true;
        }
        std::string size = err == doc::RecordError::kOk ? std::to_string(content.size()) : "-";
        std::printf("%d\t%u\t%d\t%s\t%s\n", r, e.Offset, e.Length, size.c_str(),
                    doc::Describe(err));
        if (err != doc::RecordError::kOk)
            status = kDamage;
        return err != doc::RecordError::kWalkTooLarge;
    });
    return status;
}

int CmdRecord(const Args& args) {
    if (args.positional.size() != 2)
        return Usage("record takes FILE and N");
    const RecordArg r = ParseRecordArg(args.positional[1]);
    if (!r.is_number)
        return Usage("N must be a record number");
    auto doc = OpenDocument(args.positional[0], args);
    if (!doc)
        return kCannot;
    if (!r.record) {
        std::fprintf(stderr, "record %s: no such record\n", args.positional[1].c_str());
        return kDamage;
    }
    std::string content;
    doc::RecordError err = doc->ReadRecordChecked(*r.record, content);
    if (err != doc::RecordError::kOk) {
        std::fprintf(stderr, "record %d: %s\n", *r.record, doc::Describe(err));
        return kDamage;
    }
    std::fwrite(content.data(), 1, content.size(), stdout);
    return std::fflush(stdout) == 0 ? kOk : kCannot;
}

int CmdVerify(const Args& args) {
    if (args.positional.size() != 1)
        return Usage("verify takes one FILE");
    auto doc = OpenDocument(args.positional[0], args);
    if (!doc)
        return kCannot;
    int failed = 0;
    doc::RecordWalk walk(*doc, 1, doc->DirectoryCount());
    if (!walk.Run([&](int32_t r, doc::RecordError err, const std::string&) {
            if (err != doc::RecordError::kOk) {
                std::printf("%d\t%s\n", r, doc::Describe(err));
                ++failed;
            }
            return true;
        }))
        return kDamage;
    if (failed > 0) {
        std::printf("%d of %d records cannot be read\n", failed, doc->DirectoryCount());
        return kDamage;
    }
    std::printf("all %d records ok\n", doc->DirectoryCount());
    return kOk;
}

}  // namespace q3::tool
