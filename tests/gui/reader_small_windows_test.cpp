// The small windows: the navigation tool window, the about box, the input
// dialog and the message boxes of the base form.
#include <gtest/gtest.h>

#include <glibmm/main.h>

#include "reader/dialogs/about_box.h"
#include "reader/dialogs/gtk_dialogs.h"
#include "reader/dialogs/input_query_box.h"
#include "reader/dialogs/input_query_dialog.h"
#include "reader/dialogs/message_box.h"
#include "reader/forms/shell_open.h"
#include "reader/rules/geometry.h"
#include "reader_fixture.h"
#include "x_input.h"

namespace q3::reader::testing {
namespace {

using SmallWindows = ReaderTest;

template <typename T>
T* FindToplevel() {
    for (Gtk::Window* w : Gtk::Window::list_toplevels()) {
        if (auto* found = dynamic_cast<T*>(w); found && found->get_visible())
            return found;
    }
    return nullptr;
}

// Runs action once the dialog of type T is up, from inside its own loop.
template <typename T>
void WhenShown(std::function<void(T&)> action) {
    auto tries = std::make_shared<int>(0);
    Glib::signal_timeout().connect(
        [action, tries] {
            if (T* dialog = FindToplevel<T>()) {
                action(*dialog);
                return false;
            }
            return ++*tries < 500;  // give up after ten seconds
        },
        20);
}

void SendDelete(Gtk::Window& window) {
    GdkEvent* event = gdk_event_new(GDK_DELETE);
    event->any.window = GDK_WINDOW(g_object_ref(window.get_window()->gobj()));
    gtk_main_do_event(event);
    gdk_event_free(event);
}

TEST_F(SmallWindows, NavWindowIsPlacedAtTheTopRightAndUncheckedWhenClosed) {
    ReaderSession s;
    Tfm_Quillon3& w = s.window();
    Tfm_NavForm& nav = s.nav();
    EXPECT_FALSE(nav.get_visible());
    EXPECT_EQ(nav.get_title(), "导航条");
    ColorSchemeItem(w, ColorSchemeMenu::kPinkEntry).activate();

    Named<Gtk::CheckMenuItem>(w, "nav_bar_item").activate();
    EXPECT_TRUE(Named<Gtk::CheckMenuItem>(w, "nav_bar_item").get_active());
    ASSERT_TRUE(PumpUntil([&] { return nav.get_mapped(); }));
    EXPECT_EQ(nav.Color(), w.Color());
    PumpFor(std::chrono::milliseconds(200));
    int nav_x = 0, nav_y = 0, nav_w = 0, nav_h = 0;
    nav.get_position(nav_x, nav_y);
    nav.get_size(nav_w, nav_h);
    const Rect main = w.Bounds();
    const Point want =
        NavFormOrigin(main, nav_w, Named<Gtk::Box>(w, "menu_row").get_allocated_height(),
                      Named<Gtk::Box>(w, "tool_row").get_allocated_height());
    EXPECT_EQ(nav_x, want.x);
    EXPECT_EQ(nav_y, want.y);
    EXPECT_EQ(nav_x + nav_w, main.right());

    SendDelete(nav);
    EXPECT_FALSE(nav.get_visible());
    EXPECT_FALSE(Named<Gtk::CheckMenuItem>(w, "nav_bar_item").get_active());

    Named<Gtk::CheckMenuItem>(w, "nav_bar_item").activate();
    EXPECT_TRUE(Named<Gtk::CheckMenuItem>(w, "nav_bar_item").get_active());
    EXPECT_TRUE(nav.get_visible());
    Named<Gtk::CheckMenuItem>(w, "nav_bar_item").activate();
    EXPECT_FALSE(nav.get_visible());
}

TEST_F(SmallWindows, NavWindowCarriesTheMainWindowsContentsActions) {
    ReaderSession s;
    Tfm_NavForm& nav = s.nav();
    EXPECT_EQ(nav.first_page_button->get_label(), "主页");
    EXPECT_EQ(nav.next_page_button->get_label(), "下一页");
    EXPECT_EQ(nav.previous_page_button->get_label(), "上一页");
    // Order on the bar: home, separator, next, previous.
    EXPECT_EQ(nav.nav_tool_bar.get_item_index(*nav.first_page_button), 0);
    EXPECT_EQ(nav.nav_tool_bar.get_item_index(*nav.next_page_button), 2);
    EXPECT_EQ(nav.nav_tool_bar.get_item_index(*nav.previous_page_button), 3);
}

TEST_F(SmallWindows, AboutBoxShowsNameVersionLogoAndOpensItsLinks) {
    ReaderSession s;
    std::vector<std::string> opened;
    SetShellOpener([&](const std::string& target) {
        opened.push_back(target);
        return true;
    });
    bool seen = false;
    WhenShown<Tfm_about>([&](Tfm_about& box) {
        seen = true;
        EXPECT_EQ(box.get_title(), "关于-(Quillon3)");
        EXPECT_EQ(box.app_name_label.get_text(), "Quillon3");
        EXPECT_EQ(box.app_name_shadow.get_text(), "Quillon3");
        EXPECT_EQ(box.version_label.get_text(), "V3.0(20090915)");
        EXPECT_EQ(box.Color(), s.window().Color());
        Glib::RefPtr<Gdk::Pixbuf> logo = box.logo_image.get_pixbuf();
        ASSERT_TRUE(logo);
        EXPECT_EQ(logo->get_width(), 114);
        EXPECT_EQ(logo->get_height(), 57);
        for (Gtk::Label* link : {&box.home_page_link, &box.mail_link}) {
            gboolean handled = FALSE;
            g_signal_emit_by_name(link->gobj(), "activate-link", "ignored", &handled);
            EXPECT_TRUE(handled);
        }
        box.close_button.clicked();
    });
    Activate(s.window(), "atc_about");
    SetShellOpener({});
    EXPECT_TRUE(seen);
    EXPECT_EQ(opened,
              (std::vector<std::string>{std::string(online::kDefaultHomePage), kMakerMailbox}));
    EXPECT_EQ(FindToplevel<Tfm_about>(), nullptr);
}

TEST_F(SmallWindows, InputDialogMasksAndSelectsItsText) {
    InputQueryDialog dialog(nullptr, "输入密码", "请输入密码：   ", "secret", true);
    EXPECT_EQ(dialog.get_title(), "输入密码");
    EXPECT_FALSE(dialog.Edit().get_visibility());
    EXPECT_EQ(dialog.Edit().get_invisible_char(), static_cast<gunichar>('*'));
    EXPECT_EQ(dialog.Edit().get_max_length(), 255);
    EXPECT_EQ(dialog.Edit().get_text(), "secret");
    int start = 0, end = 0;
    EXPECT_TRUE(dialog.Edit().get_selection_bounds(start, end));
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 6);
    EXPECT_EQ(dialog.OkButton().get_label(), "确定");
    EXPECT_EQ(dialog.CancelButton().get_label(), "取消");
    InputQueryDialog plain(nullptr, "c", "p", "", false);
    EXPECT_TRUE(plain.Edit().get_visibility());
}

TEST_F(SmallWindows, LongPromptWrapsAndPushesTheEditDown) {
    InputQueryDialog short_prompt(nullptr, "c", "短", "", false);
    InputQueryDialog long_prompt(
        nullptr, "c",
        "这是一段很长的提示文字，它比标签的宽度还要长得多，所以一定会折行显示，"
        "并把下面的输入框和两个按钮一起往下推。",
        "", false);
    EXPECT_GT(long_prompt.Layout().prompt.height, short_prompt.Layout().prompt.height);
    EXPECT_GT(long_prompt.Layout().edit.top, short_prompt.Layout().edit.top);
    EXPECT_GT(long_prompt.Layout().ok_button.top, short_prompt.Layout().ok_button.top);
    EXPECT_EQ(long_prompt.Layout().client_width, short_prompt.Layout().client_width);
}

TEST_F(SmallWindows, InputQueryBoxHandsBackTheTextOnlyWhenConfirmed) {
    std::string text = "before";
    WhenShown<InputQueryDialog>([](InputQueryDialog& d) {
        d.Edit().set_text("after");
        d.OkButton().clicked();
    });
    EXPECT_TRUE(InputQueryBox(nullptr, "c", "p", text, true));
    EXPECT_EQ(text, "after");

    WhenShown<InputQueryDialog>([](InputQueryDialog& d) {
        d.Edit().set_text("typed");
        d.CancelButton().clicked();
    });
    EXPECT_FALSE(InputQueryBox(nullptr, "c", "p", text, true));
    EXPECT_EQ(text, "after");

    WhenShown<InputQueryDialog>([](InputQueryDialog& d) {
        d.Edit().set_text("typed");
        SendDelete(d);
    });
    EXPECT_FALSE(InputQueryBox(nullptr, "c", "p", text, false));
    EXPECT_EQ(text, "after");
}

TEST_F(SmallWindows, MessageBoxesGoThroughTheDialogInterface) {
    ReaderSession s;
    dialogs_->message_answers = {kIdOk, kIdCancel};
    EXPECT_TRUE(s.window().AskYesNo("问题", kMbOkCancel | kMbIconQuestion));
    EXPECT_FALSE(s.window().AskYesNo("问题", kMbOkCancel | kMbIconQuestion));
    s.window().ShowWarning("警告");
    ASSERT_EQ(dialogs_->messages.size(), 3u);
    EXPECT_EQ(dialogs_->messages[2].flags, kMbIconWarning);
    EXPECT_EQ(dialogs_->messages[2].caption, "Quillon3");
}

TEST_F(SmallWindows, PasswordPromptAsksOnceAndACancelFailsTheOpen) {
    doc::DocumentInfo info;
    info.Password = "pw";
    doc::QbxWriter writer(info);
    writer.AddRecord("<ul>\n</ul>\n");
    const std::string book = dir_.File("locked.qbx");
    writer.WriteFile(book);
    ReaderSession s;
    s.window().OpenQbx(book);  // the double cancels the prompt
    ASSERT_EQ(dialogs_->queries.size(), 1u);
    EXPECT_EQ(dialogs_->queries[0].caption, "输入密码");
    EXPECT_EQ(dialogs_->queries[0].prompt, "请输入密码：   ");
    EXPECT_TRUE(dialogs_->queries[0].masked);
    EXPECT_EQ(s.window().Server()->Document(), nullptr);
    ASSERT_EQ(dialogs_->messages.size(), 1u);
    EXPECT_EQ(dialogs_->messages[0].flags, kMbIconWarning);

    dialogs_->input_answers.push_back(std::string("pw"));
    s.window().OpenQbx(book);
    EXPECT_NE(s.window().Server()->Document(), nullptr);
    EXPECT_EQ(dialogs_->queries.size(), 2u);
}

// The captions of a dialog's buttons, in the order they stand.
std::vector<std::string> ButtonCaptions(Gtk::Widget& widget) {
    std::vector<std::string> captions;
    if (auto* button = dynamic_cast<Gtk::Button*>(&widget)) {
        captions.push_back(button->get_label());
        return captions;
    }
    if (auto* container = dynamic_cast<Gtk::Container*>(&widget)) {
        for (Gtk::Widget* child : container->get_children()) {
            for (const std::string& c : ButtonCaptions(*child))
                captions.push_back(c);
        }
    }
    return captions;
}

// Runs the keys on the dialog of type T once it is up, with the pointer
// over it (the virtual display has no window manager: keys go where the
// pointer is).
template <typename T>
void KeysWhenShown(std::function<void(T&)> before, std::vector<std::string> keys) {
    WhenShown<T>([before, keys](T& dialog) {
        if (before)
            before(dialog);
        Glib::signal_timeout().connect_once(
            [&dialog, keys] {
                MoveTo(MiddleOf(dialog));
                for (const std::string& key : keys)
                    PressKey(key);
                // A dialog the keys did not end must not hang the test.
                Glib::signal_timeout().connect_once(
                    [] {
                        if (T* still = FindToplevel<T>())
                            still->response(Gtk::RESPONSE_NONE);
                    },
                    5000);
            },
            200);
    });
}

// Regression: OK/Cancel came from the desktop's language and no box had an
// icon; Enter must press OK and Escape cancel.
TEST_F(SmallWindows, MessageBoxesHaveChineseButtonsTheirIconsAndTheirKeys) {
    GtkDialogs gtk;
    struct Case {
        unsigned flags;
        const char* icon;
        std::vector<std::string> buttons;
    } cases[] = {
        {kMbOkCancel | kMbIconQuestion, "dialog-question", {"确定", "取消"}},
        {kMbIconWarning, "dialog-warning", {"确定"}},
        {kMbIconInformation, "dialog-information", {"确定"}},
    };
    for (const Case& c : cases) {
        TMessageBox box(nullptr, "Quillon3", "文件已打开", c.flags);
        EXPECT_EQ(box.get_title(), "Quillon3");
        EXPECT_EQ(box.text_label.get_text(), "文件已打开");
        EXPECT_EQ(ButtonCaptions(*box.get_action_area()), c.buttons) << c.icon;
        EXPECT_EQ(box.icon_image.get_icon_name(), c.icon);
        EXPECT_TRUE(box.icon_image.get_visible());
    }

    KeysWhenShown<TMessageBox>({}, {"Return"});
    EXPECT_EQ(gtk.MessageBox(nullptr, "Quillon3", kQuitQuestion, kMbOkCancel | kMbIconQuestion),
              kIdOk);
    KeysWhenShown<TMessageBox>({}, {"Escape"});
    EXPECT_EQ(gtk.MessageBox(nullptr, "Quillon3", kQuitQuestion, kMbOkCancel | kMbIconQuestion),
              kIdCancel);
}

// Regression: the buttons were moved out of the dialog's action area and
// took its default with them, so Enter after typing pressed nothing.
TEST_F(SmallWindows, InputBoxTakesTypedTextWithEnterAndCancelsWithEscape) {
    std::string text;
    KeysWhenShown<InputQueryDialog>({}, {"ctrl+a", "BackSpace", "s", "e", "c", "Return"});
    EXPECT_TRUE(InputQueryBox(nullptr, "输入密码", "请输入密码：   ", text, true));
    EXPECT_EQ(text, "sec");

    KeysWhenShown<InputQueryDialog>({}, {"x", "Escape"});
    EXPECT_FALSE(InputQueryBox(nullptr, "输入密码", "请输入密码：   ", text, true));
    EXPECT_EQ(text, "sec");
}

TEST_F(SmallWindows, ColourDialogSpeaksChineseAndAnswersItsKeys) {
    GtkDialogs gtk;
    std::vector<std::string> buttons;
    bool custom_caption = false;
    const auto look = [&](Gtk::Dialog& dialog) {
        buttons = ButtonCaptions(*dialog.get_action_area());
        // The chooser's own "Custom" heading is the program's.
        std::function<void(Gtk::Widget&)> find = [&](Gtk::Widget& w) {
            if (auto* label = dynamic_cast<Gtk::Label*>(&w); label && label->get_text() == "自定义")
                custom_caption = true;
            if (auto* c = dynamic_cast<Gtk::Container*>(&w)) {
                for (Gtk::Widget* child : c->get_children())
                    find(*child);
            }
        };
        find(dialog);
    };
    KeysWhenShown<Gtk::Dialog>(look, {"Escape"});
    EXPECT_FALSE(gtk.ChooseColor(nullptr, 0xDDFFDD));
    EXPECT_EQ(buttons, (std::vector<std::string>{"确定", "取消"}));
    EXPECT_TRUE(custom_caption);

    KeysWhenShown<Gtk::Dialog>({}, {"Return"});
    EXPECT_EQ(gtk.ChooseColor(nullptr, 0xDDFFDD), std::optional<browser::WindowColor>(0xDDFFDD));
}

}  // namespace
}  // namespace q3::reader::testing
