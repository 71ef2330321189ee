// Books shown as a reader sees them: Chinese text and pictures on screen,
// saved as screenshots beside the test program for a person to look at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "browser/host_flags.h"
#include "browser_harness.h"
#include "support/temp_dir.h"

namespace q3::guitest {
namespace {

constexpr unsigned kDocument = browser::navNoReadFromCache | browser::navNoWriteToCache;

std::string ShotPath(const std::string& name) {
    const char* dir = std::getenv("Q3_SCREENSHOT_DIR");
    const std::filesystem::path folder = dir ? dir : "screenshots";
    std::filesystem::create_directories(folder);
    return (folder / name).string();
}

class ShotTest : public BrowserTest {
  protected:
    // Waits for every picture of the page; the number that arrived with pixels.
    int Pictures() {
        RunUntil([&] {
            return Js("String(Array.from(document.images).every(i => i.complete))") == "true";
        });
        return std::stoi(
            Js("String(Array.from(document.images).filter(i => i.naturalWidth > 0).length)")
                .value_or("0"));
    }
};

TEST_F(ShotTest, WrittenBookPageWithChineseTextAndPicture) {
    // "第一页" and "中文正文" in GBK; the page declares no character set.
    const std::string page =
        "<html><head><title>\xB5\xDA\xD2\xBB\xD2\xB3</title></head>"
        "<body style=\"font-size:28px\"><h1>\xB5\xDA\xD2\xBB\xD2\xB3</h1>"
        "<p id=\"t\">\xD6\xD0\xCE\xC4\xD5\xFD\xCE\xC4</p>"
        "<img src=\"images/red.png\"> <img src=\"images/blue.png\"></body></html>";
    OpenBook(WriteBook(dir, "shot.qbx",
                       MakeContents({{"First", 2, "first.htm"}},
                                    {{"", 3, "images\\red.png"}, {"", 4, "images\\blue.png"}}),
                       {page, MakePng(160, 120, 0xD02020), MakePng(120, 160, 0x2040D0)}));
    ASSERT_TRUE(Load("qbx://reader/first.htm", kDocument));
    EXPECT_EQ(Pictures(), 2);
    EXPECT_EQ(Js("document.getElementById('t').textContent"), "中文正文");
    EXPECT_EQ(browser->Title(), "第一页");
    EXPECT_TRUE(Screenshot(ShotPath("written_book_page.png")));
}

// The independently produced sample book, when the checkout has it beside.
TEST_F(ShotTest, SampleBookFromAnotherProducer) {
    const std::string shared = std::string(Q3_SAMPLES_DIR) + "/debian-reference.qbx";
    if (!std::filesystem::exists(shared))
        GTEST_SKIP() << "no sample book at " << shared;
    // A private copy: other test processes hold the shared file open, and a
    // document is opened by one reader at a time.
    const std::string path = dir.File("debian-reference.qbx");
    std::filesystem::copy_file(shared, path);
    // "示例密码" in GBK.
    OpenBook(path, "\xCA\xBE\xC0\xFD\xC3\xDC\xC2\xEB");
    ASSERT_TRUE(Load("qbx://reader/index.htm", kDocument));
    std::string served;
    ASSERT_TRUE(srv.ReadDataByStream("qbx://reader/index.htm", served));
    const std::optional<std::string> shown = PageBytes(view());
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->size(), 123844u);
    EXPECT_TRUE(*shown == served);
    EXPECT_EQ(browser->Title(), "Debian 参考手册");
    EXPECT_NE(Js("document.body.innerText").value_or("").find("Debian 参考手册"),
              std::string::npos);
    EXPECT_TRUE(Screenshot(ShotPath("sample_book_index.png")));

    // A page with a Chinese name, by its UTF-8 escaped address. (The sample
    // carries no pictures: its pages' picture addresses get the placeholder.)
    ASSERT_TRUE(Load("qbx://reader/%E5%89%8D%E8%A8%80.htm", kDocument));
    EXPECT_EQ(PageBytes(view()).value_or("").size(), 30168u);
    EXPECT_EQ(browser->Title(), "序言");
    EXPECT_TRUE(Screenshot(ShotPath("sample_book_preface.png")));
}

}  // namespace
}  // namespace q3::guitest
