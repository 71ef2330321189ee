// Night reading on the real window: old pages that colour by attribute come
// out dark with light text and their pictures untouched, at once and back
// again without a reload, and the choice outlives the session. With it, the
// window's keys for the text size and for quitting.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "common/shell.h"
#include "page_input.h"
#include "reader_fixture.h"
#include "support/solid_png.h"

namespace q3::reader::testing {
namespace {

constexpr guint kCtrl = GDK_CONTROL_MASK;
constexpr const char* kKey = "SOFTWARE\\Tarvik\\Quillon3";
constexpr const char* kNightValue = "NightReading-Quillon3";
constexpr uint32_t kPictureRgb = 0x20A040;

std::string Entry(const std::string& name, int record, const std::string& path) {
    return "<li><param name=\"name\" value=\"" + name + "\" id=\"" + std::to_string(record) +
           "\"><param name=\"local\" value=\"" + path + "\">\n";
}

// An old page colouring everything by attribute, with a picture; two pages
// that bring a dark scheme of their own, one by declaration and one by
// rules for readers who prefer dark, on a light ground of their choosing.
const std::string kOldPage =
    "<html><head><title>Old page</title></head>"
    "<body bgcolor=\"#ffffff\" text=\"#000000\" link=\"#0000ff\">"
    "<font id=\"text\" color=\"#000000\" size=\"7\">WWWWWWWW</font>"
    "<table><tr><td id=\"cell\" bgcolor=\"#ffffff\" width=\"300\" height=\"80\">"
    "<font color=\"#000000\">MMMM</font></td></tr></table>"
    "<a id=\"link\" href=\"dark.htm\">a link</a><br>"
    "<img id=\"picture\" src=\"picture.png\" width=\"80\" height=\"60\"></body></html>";
const std::string kDarkPage =
    "<html><head><title>Dark page</title><meta name=\"color-scheme\" content=\"dark\">"
    "</head><body style=\"background:#ffeedd\">own scheme</body></html>";
const std::string kQueryPage =
    "<html><head><title>Query page</title><style>body { background: #ffeedd }"
    " @media (prefers-color-scheme: dark) { body { background: #202020 } }</style>"
    "</head><body>own rules</body></html>";

// The page as the view draws it, pixel by pixel (0xRRGGBB).
class PageShot {
  public:
    explicit PageShot(WebKitWebView* view) {
        auto wait = std::make_shared<Wait>();
        webkit_web_view_get_snapshot(
            view, WEBKIT_SNAPSHOT_REGION_VISIBLE, WEBKIT_SNAPSHOT_OPTIONS_NONE, nullptr,
            [](GObject* source, GAsyncResult* result, gpointer data) {
                std::unique_ptr<std::shared_ptr<Wait>> held(
                    static_cast<std::shared_ptr<Wait>*>(data));
                (*held)->surface =
                    webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(source), result, nullptr);
                (*held)->done = true;
            },
            new std::shared_ptr<Wait>(wait));
        PumpUntil([&] { return wait->done; });
        surface_ = wait->surface;
        wait->surface = nullptr;
        if (surface_ != nullptr)
            cairo_surface_flush(surface_);
    }
    ~PageShot() {
        if (surface_ != nullptr)
            cairo_surface_destroy(surface_);
    }
    PageShot(const PageShot&) = delete;
    PageShot& operator=(const PageShot&) = delete;

    bool Taken() const { return surface_ != nullptr; }
    uint32_t At(int x, int y) const {
        if (surface_ == nullptr || x < 0 || y < 0 || x >= cairo_image_surface_get_width(surface_) ||
            y >= cairo_image_surface_get_height(surface_))
            return 0xFF000000;  // no pixel
        const unsigned char* row =
            cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
        return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
    }

  private:
    struct Wait {
        cairo_surface_t* surface = nullptr;
        bool done = false;
        ~Wait() {
            if (surface != nullptr)
                cairo_surface_destroy(surface);
        }
    };
    cairo_surface_t* surface_ = nullptr;
};

int Brightness(uint32_t rgb) {
    return static_cast<int>(((rgb >> 16) & 0xFF) * 299 + ((rgb >> 8) & 0xFF) * 587 +
                            (rgb & 0xFF) * 114) /
           1000;
}

bool Near(uint32_t a, uint32_t b) {
    for (int shift : {0, 8, 16}) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d > 3 || d < -3)
            return false;
    }
    return true;
}

// What the page shows where the night rules act, in one snapshot.
struct Looks {
    int ground = -1;        // the body's brightness, right of the text
    int cell = -1;          // the table cell's, right of its text
    int text_darkest = -1;  // within the text's box
    int text_lightest = -1;
    uint32_t picture = 0xFF000000;  // the picture's middle
};

struct Box {
    int left, top, right, bottom;
};

Box BoxOf(browser::WebBrowser& wb, const std::string& id) {
    const std::string at =
        PageValue(wb, "(() => { const r = document.getElementById('" + id +
                          "').getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]"
                          ".map(Math.round).join(','); })()");
    Box box{};
    if (std::sscanf(at.c_str(), "\"%d,%d,%d,%d\"", &box.left, &box.top, &box.right, &box.bottom) !=
        4)
        ADD_FAILURE() << "no box for " << id << ": " << at;
    return box;
}

Looks LookAt(browser::WebBrowser& wb) {
    const Box text = BoxOf(wb, "text"), cell = BoxOf(wb, "cell"), picture = BoxOf(wb, "picture");
    PageShot shot(wb.View());
    Looks looks;
    if (!shot.Taken())
        return looks;
    looks.ground = Brightness(shot.At(text.right + 40, (text.top + text.bottom) / 2));
    looks.cell = Brightness(shot.At(cell.right - 10, (cell.top + cell.bottom) / 2));
    looks.text_darkest = 255;
    looks.text_lightest = 0;
    for (int y = text.top; y < text.bottom; ++y) {
        for (int x = text.left; x < text.right; ++x) {
            looks.text_darkest = std::min(looks.text_darkest, Brightness(shot.At(x, y)));
            looks.text_lightest = std::max(looks.text_lightest, Brightness(shot.At(x, y)));
        }
    }
    looks.picture = shot.At((picture.left + picture.right) / 2, (picture.top + picture.bottom) / 2);
    return looks;
}

bool Dark(const Looks& l) {
    return l.ground >= 0 && l.ground < 60 && l.cell < 60 && l.text_lightest > 170;
}
bool AsWritten(const Looks& l) {
    return l.ground > 245 && l.cell > 245 && l.text_darkest < 40;
}

class NightTest : public ReaderTest {
  protected:
    std::string WriteOldBook() {
        doc::QbxWriter writer(doc::DocumentInfo{});
        writer.AddRecord("<ul>\n" + Entry("Old", 2, "old.htm") + Entry("Dark", 3, "dark.htm") +
                         Entry("Query", 4, "query.htm") +
                         "<res value=\"picture.png\" id=\"5\">\n</ul>\nend\n");
        writer.AddRecord(kOldPage);
        writer.AddRecord(kDarkPage);
        writer.AddRecord(kQueryPage);
        writer.AddRecord(q3::testing::SolidPng(80, 60, kPictureRgb));
        const std::string path = dir_.File("old.qbx");
        writer.WriteFile(path);
        return path;
    }

    static bool PictureShown(browser::WebBrowser& wb) {
        return PageValue(wb, "String(document.getElementById('picture').naturalWidth)") == "\"80\"";
    }
};

TEST_F(NightTest, OldPageTurnsDarkAtOnceKeepsItsPictureAndTheChoiceIsStored) {
    const std::string book = WriteOldBook();
    {
        ReaderSession s({book});
        Tfm_Quillon3& w = s.window();
        browser::WebBrowser& wb = HomeBrowser(w);
        ASSERT_TRUE(PumpUntil([&] { return Settled(wb, "Old page") && PictureShown(wb); }));
        auto& night = Named<Gtk::CheckMenuItem>(w, "night_reading_item");
        EXPECT_EQ(night.get_label(), "夜间阅读");
        EXPECT_FALSE(night.get_active());
        Looks before;
        ASSERT_TRUE(PumpUntil([&] { return AsWritten(before = LookAt(wb)); }));
        EXPECT_TRUE(Near(before.picture, kPictureRgb)) << std::hex << before.picture;
        // A mark in the page: a reload would lose it.
        PageValue(wb, "window.q3Mark = 7; 1");

        night.activate();
        Looks after;
        EXPECT_TRUE(PumpUntil([&] { return Dark(after = LookAt(wb)); }))
            << after.ground << " " << after.cell << " " << after.text_lightest;
        EXPECT_TRUE(Near(after.picture, kPictureRgb)) << std::hex << after.picture;
        // The link reads apart from the text.
        EXPECT_EQ(PageValue(wb, "getComputedStyle(document.getElementById('link')).color"),
                  "\"rgb(138, 180, 248)\"");
        EXPECT_EQ(ReadHkcuInteger(kKey, kNightValue, -1), 1);

        night.activate();
        EXPECT_TRUE(PumpUntil([&] { return AsWritten(after = LookAt(wb)); }))
            << after.ground << " " << after.cell << " " << after.text_darkest;
        EXPECT_EQ(PageValue(wb, "window.q3Mark"), "7");
        EXPECT_EQ(ReadHkcuInteger(kKey, kNightValue, -1), 0);
        night.activate();
    }
    // The next start shows the book dark from its first page.
    ReaderSession s({book});
    browser::WebBrowser& wb = HomeBrowser(s.window());
    ASSERT_TRUE(PumpUntil([&] { return Settled(wb, "Old page") && PictureShown(wb); }));
    EXPECT_TRUE(Named<Gtk::CheckMenuItem>(s.window(), "night_reading_item").get_active());
    Looks looks;
    EXPECT_TRUE(PumpUntil([&] { return Dark(looks = LookAt(wb)); }))
        << looks.ground << " " << looks.cell << " " << looks.text_lightest;
    EXPECT_TRUE(Near(looks.picture, kPictureRgb)) << std::hex << looks.picture;
}

// The brightness of a page's ground, a little in from its bottom left corner.
int GroundOf(browser::WebBrowser& wb) {
    PageShot shot(wb.View());
    return shot.Taken() ? Brightness(shot.At(5, wb.Widget().get_allocated_height() - 5)) : -1;
}

TEST_F(NightTest, OwnPagesFollowAndPagesWithADarkSchemeOfTheirOwnAreLeftToIt) {
    WriteHkcuInteger(kKey, kNightValue, 1);
    const std::string book = WriteOldBook();
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    browser::WebBrowser& wb = HomeBrowser(w);
    ASSERT_TRUE(PumpUntil([&] { return Settled(wb, "首页"); }));
    int ground = -1;
    EXPECT_TRUE(PumpUntil([&] { return (ground = GroundOf(wb)) >= 0 && ground < 60; })) << ground;

    w.OpenQbx(book);
    for (const char* page : {"dark.htm", "query.htm"}) {
        w.GoToAddress(std::string("qbx://reader/") + page);
        ASSERT_TRUE(PumpUntil([&] { return wb.LocationUrl().ends_with(page) && !wb.Busy(); }));
        // Its own light ground stays, whatever the night rules say.
        EXPECT_TRUE(PumpUntil([&] {
            return PageValue(wb,
                             "document.documentElement.hasAttribute("
                             "'data-quillon3-own-dark')") == "true";
        })) << page;
        EXPECT_TRUE(PumpUntil([&] { return (ground = GroundOf(wb)) > 225; }))
            << page << " " << ground;
    }
}

TEST_F(NightTest, CtrlPlusMinusAndZeroStepTheZoomFromAnywhere) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    browser::WebBrowser& wb = HomeBrowser(w);
    ASSERT_TRUE(PumpUntil([&] { return Settled(wb, "首页"); }));
    ASSERT_TRUE(TakeFocus(w, &wb.Widget()));
    StrokeKey(w, GDK_KEY_plus, kCtrl | GDK_SHIFT_MASK);
    EXPECT_EQ(w.ZoomPercent(), 110);
    StrokeKey(w, GDK_KEY_equal, kCtrl);
    StrokeKey(w, GDK_KEY_KP_Add, kCtrl);
    EXPECT_EQ(w.ZoomPercent(), 130);
    EXPECT_DOUBLE_EQ(webkit_web_view_get_zoom_level(wb.View()), 1.3);
    StrokeKey(w, GDK_KEY_minus, kCtrl);
    StrokeKey(w, GDK_KEY_KP_Subtract, kCtrl);
    EXPECT_EQ(w.ZoomPercent(), 110);
    StrokeKey(w, GDK_KEY_0, kCtrl);
    EXPECT_EQ(w.ZoomPercent(), 100);
    EXPECT_DOUBLE_EQ(webkit_web_view_get_zoom_level(wb.View()), 1.0);
    // From the address box as well; without Ctrl the keys are typed.
    ASSERT_TRUE(TakeFocus(w, &AddressEntry(w)));
    StrokeKey(w, GDK_KEY_minus, kCtrl);
    EXPECT_EQ(w.ZoomPercent(), 90);
    StrokeKey(w, GDK_KEY_KP_0, kCtrl);
    EXPECT_EQ(w.ZoomPercent(), 100);
    AddressEntry(w).set_text("");
    StrokeKey(w, GDK_KEY_0);
    EXPECT_EQ(w.ZoomPercent(), 100);
    EXPECT_EQ(AddressEntry(w).get_text(), "0");
}

TEST_F(NightTest, CtrlQAsksTheQuitQuestion) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    ASSERT_TRUE(PumpUntil([&] { return Settled(HomeBrowser(w), "首页"); }));
    dialogs_->message_answers.push_back(kIdCancel);
    StrokeKey(w, GDK_KEY_q, kCtrl);
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0].text, "确定要退出 Quillon3？");
    EXPECT_EQ(dialogs_->messages[0].flags, kMbOkCancel | kMbIconQuestion);
    EXPECT_TRUE(w.get_visible());
    StrokeKey(w, GDK_KEY_q, kCtrl);  // OK this time
    EXPECT_EQ(dialogs_->messages.size(), 2u);
    EXPECT_FALSE(w.get_visible());
}

}  // namespace
}  // namespace q3::reader::testing
