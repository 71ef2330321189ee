#include "qbxtool/packer.h"

#include <cstdint>
#include <fstream>
#include <iterator>

#include "common/gbk.h"
#include "qbxtool/sitemap_reader.h"
#include "qbxtool/sitemap_writer.h"
#include "qbxtool/transcode.h"

namespace q3::tool {

namespace fs = std::filesystem;

namespace {

std::string ReadWholeFile(const fs::path& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec)
        throw PackError("cannot read " + path.string() + ": " + ec.message());
    // A record's size is a signed 32-bit number.
    if (size > INT32_MAX)
        throw PackError(path.string() + " is too large for a document record");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw PackError("cannot read " + path.string());
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    if (in.bad())
        throw PackError("cannot read " + path.string());
    return bytes;
}

Contents MakeContents(const PackOptions& options, const std::vector<PackFile>& files,
                      const std::vector<std::string>& titles, Warnings& warnings) {
    if (options.contents) {
        const std::string text = TextFileToUtf8(ReadWholeFile(*options.contents));
        return ContentsFromSitemap(ReadSitemap(text), files, warnings);
    }
    return ContentsFromFolder(
        files, [&](const PackFile& f) { return titles[static_cast<size_t>(&f - files.data())]; });
}

}  // namespace

std::string FileListText(const std::vector<PackFile>& files) {
    std::string text;
    for (const PackFile& f : files)
        text += std::to_string(f.record) + "\t" + f.local + "\r\n";
    return text;
}

PackSummary PackFolder(const PackOptions& options, Warnings& warnings) {
    std::error_code ec;
    if (!fs::is_directory(options.dir, ec))
        throw PackError(options.dir.string() + " is not a folder");
    // The document and the sitemap may lie inside the folder; they are not
    // part of the book.
    std::vector<fs::path> skip = {options.out, fs::path(options.out.string() + ".part")};
    if (options.contents)
        skip.push_back(*options.contents);
    std::vector<PackFile> files = ScanFolder(options.dir, skip, warnings);
    if (files.empty())
        throw PackError(options.dir.string() + " holds no file to pack");

    try {
        doc::QbxWriter writer(options.info);
        const int32_t contents_record = writer.ReserveRecord();
        std::vector<std::string> titles;
        titles.reserve(files.size());
        for (PackFile& f : files) {
            std::string bytes = ReadWholeFile(f.disk);
            titles.push_back(IsPageName(f.rel) ? PageTitle(bytes) : std::string());
            if (options.to_gbk)
                bytes = TranscodeToGbk(f.rel, std::move(bytes), warnings);
            f.record = writer.AddRecord(bytes);
        }
        const Contents contents = MakeContents(options, files, titles, warnings);
        writer.SetRecord(contents_record, WriteContents(contents, warnings));
        writer.AddRecord(FileListText(files));
        writer.WriteFile(options.out.string());
        return PackSummary{static_cast<int32_t>(files.size()), writer.Count()};
    } catch (const PackError&) {
        throw;
    } catch (const std::exception& e) {
        throw PackError(std::string("cannot write ") + options.out.string() + ": " + e.what());
    }
}

}  // namespace q3::tool
