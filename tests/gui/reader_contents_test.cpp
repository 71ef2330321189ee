// The side bar's contents tree and index list on written books: a big book
// whose tree and index are read from the contents arrays row by row, the
// index in pinyin order, and the tree following the page through Back and
// Forward.
#include <gtest/gtest.h>

#include <cstdio>

#include "browser/page_helpers.h"
#include "browser/web_browser.h"
#include "common/gbk.h"
#include "reader_fixture.h"

namespace q3::reader::testing {
namespace {

constexpr const char* kPrefix = "qbx://reader/";
constexpr int kChapters = 30;
constexpr int kPagesPerChapter = 500;
constexpr int kPages = kChapters * kPagesPerChapter;

std::string Gbk(const std::string& utf8) {
    return Utf8ToGbk(utf8).value();
}

// "页 00001" .. : numbered so that the index order is the numbers' order.
std::string PageCaption(int number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, " %05d", number);
    return "页" + std::string(digits);
}

std::string PagePath(int chapter, int page) {
    return "c" + std::to_string(chapter) + "\\p" + std::to_string(page) + ".htm";
}

// Chapters are headings without pages; the pages are numbered backwards in
// contents order, so the index must sort all of them to list them.
std::string WriteBigBook(const std::string& path) {
    doc::QbxWriter writer(doc::DocumentInfo{});
    const int32_t contents = writer.ReserveRecord();
    std::string sitemap = "<ul>\n";
    int item = 0;
    for (int c = 1; c <= kChapters; ++c) {
        sitemap += "<li><param name=\"name\" value=\"" + Gbk("第" + std::to_string(c) + "章") +
                   "\" id=\"-1\"><param name=\"local\" value=\"c" + std::to_string(c) +
                   "\">\n<ul>\n";
        for (int p = 1; p <= kPagesPerChapter; ++p) {
            const std::string caption = PageCaption(kPages - item++);
            const int32_t record =
                writer.AddRecord("<html><head><title>" + caption + "</title></head><body>" +
                                 caption + "</body></html>");
            sitemap += "<li><param name=\"name\" value=\"" + Gbk(caption) + "\" id=\"" +
                       std::to_string(record) + "\"><param name=\"local\" value=\"" +
                       PagePath(c, p) + "\">\n";
        }
        sitemap += "</ul>\n";
    }
    sitemap += "</ul>\n";
    writer.SetRecord(contents, sitemap);
    writer.WriteFile(path);
    return path;
}

Gtk::TreeView& Tree(Tfm_Quillon3& w) {
    return Named<Gtk::TreeView>(w, "contents_tree");
}

Gtk::TreeView& IndexList(Tfm_Quillon3& w) {
    return Named<Gtk::TreeView>(w, "index_list");
}

std::string SelectedCaption(Tfm_Quillon3& w) {
    return SelectedRowText(Tree(w));
}

void ReleaseKey(Gtk::Widget& widget, guint keyval) {
    GdkEvent* event = gdk_event_new(GDK_KEY_RELEASE);
    event->key.window = GDK_WINDOW(g_object_ref(widget.get_window()->gobj()));
    event->key.keyval = keyval;
    event->key.send_event = TRUE;
    gtk_widget_event(widget.gobj(), event);
    gdk_event_free(event);
}

bool Shows(browser::WebBrowser& wb, const std::string& path, const std::string& title) {
    return wb.LocationUrl() == kPrefix + path && !wb.Busy() && wb.Title() == title;
}

using ContentsTest = ReaderTest;

TEST_F(ContentsTest, BigBookTreeIsCompleteWhereverItIsOpened) {
    ReaderSession session({WriteBigBook(dir_.File("big.qbx"))});
    Tfm_Quillon3& w = session.window();
    Gtk::TreeView& view = Tree(w);
    ASSERT_EQ(NodeCount(view), kChapters + kPages);
    Glib::RefPtr<Gtk::TreeModel> tree = view.get_model();
    ASSERT_EQ(RowCount(view), kChapters);
    // The first page is shown, in the first chapter, opened.
    EXPECT_TRUE(PumpUntil([&] { return SelectedCaption(w) == PageCaption(kPages); }));
    // The last chapter, expanded: every page, in contents order.
    const Gtk::TreePath last_chapter("29");
    EXPECT_TRUE(view.expand_row(last_chapter, false));
    Gtk::TreeIter chapter = tree->get_iter(last_chapter);
    EXPECT_EQ(RowText(view, last_chapter), "第30章");
    ASSERT_EQ(chapter->children().size(), static_cast<size_t>(kPagesPerChapter));
    const auto last_page = chapter->children()[kPagesPerChapter - 1];
    EXPECT_EQ(RowText(view, tree->get_path(last_page)), PageCaption(1));
    EXPECT_EQ(tree->get_path(last_page).to_string(), "29:499");
    // Next from a chapter's last page goes to the next chapter, then into it;
    // previous comes back the same way.
    view.expand_to_path(Gtk::TreePath("0:499"));
    view.get_selection()->select(Gtk::TreePath("0:499"));
    Activate(w, "act_QBXNavNext");
    EXPECT_EQ(SelectedCaption(w), "第2章");
    Activate(w, "act_QBXNavNext");
    EXPECT_EQ(SelectedCaption(w), PageCaption(kPages - kPagesPerChapter));
    Activate(w, "act_QBXNavPrev");
    Activate(w, "act_QBXNavPrev");
    EXPECT_EQ(SelectedCaption(w), PageCaption(kPages - kPagesPerChapter + 1));
    // A page deep in the book, reached without the tree, is found in it.
    HomeBrowser(w).Navigate(kPrefix + std::string("c27/p123.htm"));
    const std::string deep = PageCaption(kPages - (26 * kPagesPerChapter + 122));
    EXPECT_TRUE(PumpUntil([&] { return SelectedCaption(w) == deep; })) << SelectedCaption(w);
    EXPECT_TRUE(view.row_expanded(Gtk::TreePath("26")));
}

TEST_F(ContentsTest, BigBookIndexIsSortedScrollsAndFindsKeys) {
    ReaderSession session({WriteBigBook(dir_.File("big.qbx"))});
    Tfm_Quillon3& w = session.window();
    ShowPage(Named<Gtk::Notebook>(w, "document_tabs"), "index_page");
    Gtk::TreeView& list = IndexList(w);
    // The list gets its rows when it is first shown.
    ASSERT_TRUE(PumpUntil([&] { return RowCount(list) > 0; }));
    ASSERT_EQ(RowCount(list), kPages);
    EXPECT_EQ(RowText(list, 0), PageCaption(1));
    EXPECT_EQ(RowText(list, kPages - 1), PageCaption(kPages));
    // Scrolled to its end, the list shows its last rows.
    Gtk::TreePath last;
    last.push_back(kPages - 1);
    list.scroll_to_row(last);
    Gtk::TreePath first_shown, last_shown;
    EXPECT_TRUE(PumpUntil(
        [&] { return list.get_visible_range(first_shown, last_shown) && last_shown == last; }));
    // The key search finds the first item with the prefix, far down the list.
    auto& key_edit = Named<Gtk::Entry>(w, "index_key_edit");
    key_edit.set_text("页 1234");
    ReleaseKey(key_edit, GDK_KEY_4);
    ASSERT_TRUE(HasSelection(list));
    EXPECT_EQ(SelectedRowText(list), PageCaption(12340));
    ReleaseKey(key_edit, GDK_KEY_Return);
    EXPECT_TRUE(PumpUntil([&] { return SelectedCaption(w) == PageCaption(12340); }));
}

TEST_F(ContentsTest, ChineseIndexIsInPinyinOrderWithLettersWithoutCase) {
    doc::QbxWriter writer(doc::DocumentInfo{});
    std::string sitemap = "<ul>\n";
    int record = 2;
    for (const char* caption :
         {"什么是 Debian？", "第 1 章 GNU/Linux 教程", "apt-get", "安装", "Apt", "编程"}) {
        sitemap += "<li><param name=\"name\" value=\"" + Gbk(caption) + "\" id=\"" +
                   std::to_string(record) + "\"><param name=\"local\" value=\"p" +
                   std::to_string(record) + ".htm\">\n";
        ++record;
    }
    sitemap += "</ul>\n";
    writer.AddRecord(sitemap);
    for (int i = 0; i < 6; ++i)
        writer.AddRecord("<html><body>page</body></html>");
    const std::string book = dir_.File("zh.qbx");
    writer.WriteFile(book);
    ReaderSession session({book});
    Tfm_Quillon3& w = session.window();
    // The list gets its rows when it is first shown.
    ShowPage(Named<Gtk::Notebook>(w, "document_tabs"), "index_page");
    ASSERT_TRUE(PumpUntil([&] { return RowCount(IndexList(w)) == 6; }));
    const std::vector<std::string> listed = RowTexts(IndexList(w));
    // 安 an, 编 bian, 第 di, 什 shen: the order of a Chinese desktop.
    EXPECT_EQ(listed, (std::vector<std::string>{"Apt", "apt-get", "安装", "编程",
                                                "第 1 章 GNU/Linux 教程", "什么是 Debian？"}));
}

// Cover, then "Second", whose page links to "First".
std::string WriteLinkedBook(const std::string& path) {
    doc::QbxWriter writer(doc::DocumentInfo{});
    writer.AddRecord(
        "<ul>\n"
        "<li><param name=\"name\" value=\"Cover\" id=\"2\"><param name=\"local\" "
        "value=\"cover.htm\">\n"
        "<li><param name=\"name\" value=\"First\" id=\"3\"><param name=\"local\" "
        "value=\"one\\first.htm\">\n"
        "<li><param name=\"name\" value=\"Second\" id=\"4\"><param name=\"local\" "
        "value=\"one\\second.htm\">\n"
        "</ul>\n");
    writer.AddRecord("<html><head><title>Cover page</title></head><body>cover</body></html>");
    writer.AddRecord("<html><head><title>First page</title></head><body>first</body></html>");
    writer.AddRecord(
        "<html><head><title>Second page</title></head>"
        "<body><a id=\"to-first\" href=\"first.htm\">first</a></body></html>");
    writer.WriteFile(path);
    return path;
}

TEST_F(ContentsTest, TreeFollowsBackAndForward) {
    ReaderSession session({WriteLinkedBook(dir_.File("linked.qbx"))});
    Tfm_Quillon3& w = session.window();
    browser::WebBrowser& wb = HomeBrowser(w);
    ASSERT_TRUE(PumpUntil([&] { return Shows(wb, "cover.htm", "Cover page"); }));
    // A click on the tree, then a link in the page.
    Tree(w).get_selection()->select(Gtk::TreePath("2"));
    Tree(w).row_activated(Gtk::TreePath("2"), *Tree(w).get_column(0));
    ASSERT_TRUE(PumpUntil([&] { return Shows(wb, "one/second.htm", "Second page"); }));
    browser::RunPageScript(wb, "document.getElementById('to-first').click()");
    ASSERT_TRUE(PumpUntil([&] { return Shows(wb, "one/first.htm", "First page"); }));
    EXPECT_TRUE(PumpUntil([&] { return SelectedCaption(w) == "First"; }));
    // "后退" and "前进": the page comes back, and the tree with it.
    Activate(w, "act_GoBack");
    ASSERT_TRUE(PumpUntil([&] { return Shows(wb, "one/second.htm", "Second page"); }));
    EXPECT_TRUE(PumpUntil([&] { return SelectedCaption(w) == "Second"; })) << SelectedCaption(w);
    Activate(w, "act_GoBack");
    ASSERT_TRUE(PumpUntil([&] { return Shows(wb, "cover.htm", "Cover page"); }));
    EXPECT_TRUE(PumpUntil([&] { return SelectedCaption(w) == "Cover"; })) << SelectedCaption(w);
    Activate(w, "act_GoTo");
    ASSERT_TRUE(PumpUntil([&] { return Shows(wb, "one/second.htm", "Second page"); }));
    EXPECT_TRUE(PumpUntil([&] { return SelectedCaption(w) == "Second"; })) << SelectedCaption(w);
}

}  // namespace
}  // namespace q3::reader::testing
