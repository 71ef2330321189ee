// The main window's actions, main menu, pop-up menus and shortcuts.
#include <gtkmm/accellabel.h>
#include <gtkmm/application.h>
#include <gtkmm/separatormenuitem.h>

#include "common/translation.h"
#include "reader/main_window/main_window.h"
#include "reader/main_window/night_reading_item.h"

namespace q3::reader {

namespace {

Gtk::MenuItem* PlainItem(const char* name, const std::string& caption) {
    auto* item = Gtk::manage(new Gtk::MenuItem(caption));
    item->set_name(name);
    return item;
}

void AddSeparator(Gtk::MenuShell& menu) {
    menu.append(*Gtk::manage(new Gtk::SeparatorMenuItem()));
}

void AddActions(Gtk::MenuShell& menu, std::initializer_list<TAction*> actions) {
    for (TAction* a : actions) {
        if (a == nullptr) {
            AddSeparator(menu);
        } else {
            menu.append(*a->MakeMenuItem());
        }
    }
}

Gtk::Menu* SubMenu(Gtk::MenuShell& bar, const char* name, const char* caption) {
    Gtk::MenuItem* top = PlainItem(name, caption);
    auto* menu = Gtk::manage(new Gtk::Menu());
    top->set_submenu(*menu);
    bar.append(*top);
    return menu;
}

}  // namespace

std::vector<TAction*> Tfm_Quillon3::AllActions() {
    return {
        &act_exit,       &act_openfile,      &act_NavTree,      &act_TvExpand,   &act_TvCollapsed,
        &act_FullScreen, &act_GoHome,        &act_Refresh,      &act_Stop,       &act_GoTo,
        &act_GoBack,     &act_print,         &act_saveas,       &act_Help,       &atc_about,
        &act_Update,     &act_browseMode,    &act_NotImageMode, &act_CloseWeb,   &act_QBXAttr,
        &act_QBXCopy,    &act_QBXSelectAll,  &act_QBXSearch,    &act_QBXNavHome, &act_QBXNavPrev,
        &act_QBXNavNext, &act_QBXViewSource, &act_QBXComment,   &act_QBXShared};
}

TAction* Tfm_Quillon3::FindAction(std::string_view name) {
    for (TAction* a : AllActions()) {
        if (a->Name() == name)
            return a;
    }
    return nullptr;
}

void Tfm_Quillon3::BuildActions() {
    for (TAction* a : AllActions()) {
        switch (a->Def().handler) {
            case ActionHandler::kOpenExit:
                a->SetHandler([this](TAction& x) { OpenExitExecute(x); });
                break;
            case ActionHandler::kWeb:
                a->SetHandler([this](TAction& x) { WebExecute(x); });
                break;
            case ActionHandler::kHelp:
                a->SetHandler([this](TAction& x) { HelpExecute(x); });
                break;
            case ActionHandler::kViewMode:
                a->SetHandler([this](TAction& x) { ViewModeExecute(x); });
                break;
            case ActionHandler::kCloseWeb:
                a->SetHandler([this](TAction& x) { CloseWebExecute(x); });
                break;
            case ActionHandler::kQbxEdit:
                a->SetHandler([this](TAction& x) { QbxEditExecute(x); });
                break;
            case ActionHandler::kQbxNav:
                a->SetHandler([this](TAction& x) { QbxNavExecute(x); });
                break;
            case ActionHandler::kProperties:
                a->SetHandler([this](TAction& x) { QbxAttrExecute(x); });
                break;
        }
    }
    act_browseMode.SetGroupPeers({&act_browseMode, &act_NotImageMode});
    act_NotImageMode.SetGroupPeers({&act_browseMode, &act_NotImageMode});
    action_group_ = Gio::SimpleActionGroup::create();
    for (TAction* a : AllActions())
        action_group_->add_action(a->GioAction());
    insert_action_group(kWindowActionPrefix, action_group_);
}

void Tfm_Quillon3::InstallAccelerators() {
    auto app = Glib::RefPtr<Gtk::Application>::cast_dynamic(Gio::Application::get_default());
    if (!app || !app->is_registered())
        return;
    app->add_window(*this);
    for (TAction* a : AllActions()) {
        if (!a->Def().shortcut.empty())
            app->set_accel_for_action(a->DetailedName(), std::string(a->Def().shortcut));
    }
}

void Tfm_Quillon3::BuildMainMenu() {
    Gtk::Menu* file = SubMenu(main_menu_, "mni_File", _("文件"));
    AddActions(*file,
               {&act_openfile, &act_saveas, nullptr, &act_print, &act_QBXAttr, nullptr, &act_exit});

    Gtk::Menu* edit = SubMenu(main_menu_, "mni_Edit", _("编辑"));
    AddActions(*edit,
               {&act_QBXCopy, &act_QBXSelectAll, nullptr, &act_QBXSearch, &act_QBXViewSource});

    Gtk::Menu* view = SubMenu(main_menu_, "mni_View", _("视图"));
    AddActions(*view, {&act_NavTree, nullptr, &act_GoHome, &act_Refresh});
    zoom_item_ = PlainItem("zoom_item", _("显示比例"));
    auto* zoom = Gtk::manage(new Gtk::Menu());
    zoom_reset_item_ = PlainItem("zoom_reset_item", _("还原"));
    zoom_in_item_ = PlainItem("zoom_in_item", _("放大"));
    zoom_out_item_ = PlainItem("zoom_out_item", _("缩小"));
    // The window's key rules answer these keys; the items show them.
    for (auto [item, key] :
         {std::pair{zoom_reset_item_, GDK_KEY_0}, std::pair{zoom_in_item_, GDK_KEY_plus},
          std::pair{zoom_out_item_, GDK_KEY_minus}}) {
        if (auto* label = dynamic_cast<Gtk::AccelLabel*>(item->get_child()))
            label->set_accel(key, Gdk::CONTROL_MASK);
        zoom->append(*item);
    }
    zoom_reset_item_->signal_activate().connect([this] { ZoomClick(1); });
    zoom_in_item_->signal_activate().connect([this] { ZoomClick(2); });
    zoom_out_item_->signal_activate().connect([this] { ZoomClick(3); });
    zoom_item_->set_submenu(*zoom);
    view->append(*zoom_item_);
    // The help book tells of the view modes: they must be found from the
    // menu bar too, not only from the page tabs' menu.
    view->append(*ViewModeItem("view_mode_item"));
    AddSeparator(*view);
    view->append(*act_GoTo.MakeMenuItem(_("前进      ")));
    AddActions(*view, {&act_GoBack, &act_Stop, nullptr, &act_FullScreen});

    Gtk::Menu* tools = SubMenu(main_menu_, "mni_Tools", _("工具"));
    Gtk::MenuItem* schemes = PlainItem("color_scheme_item", _("配色方案"));
    auto* scheme_menu = Gtk::manage(new Gtk::Menu());
    static const char* const kColorItemNames[] = {"color_default_item", "color_blue_item",
                                                  "color_green_item", "color_pink_item",
                                                  "color_custom_item"};
    for (std::size_t i = 0; i < ColorSchemeMenu::kEntryCount; ++i) {
        auto* item = Gtk::manage(new Gtk::CheckMenuItem(Tr(ColorSchemeMenu::Caption(i))));
        item->set_name(kColorItemNames[i]);
        item->set_draw_as_radio(true);
        item->signal_activate().connect(
            [this, i] {
                if (!menu_syncing_)
                    ColorSchemeClick(i);
            },
            true);
        color_scheme_items_[i] = item;
        scheme_menu->append(*item);
    }
    AddSeparator(*scheme_menu);
    night_reading_item_ = MakeNightReadingItem();
    scheme_menu->append(*night_reading_item_);
    schemes->set_submenu(*scheme_menu);
    tools->append(*schemes);
    nav_bar_item_ = Gtk::manage(new Gtk::CheckMenuItem(_("导航条")));
    nav_bar_item_->set_name("nav_bar_item");
    nav_bar_item_->signal_activate().connect(
        [this] {
            if (!menu_syncing_)
                NavBarClick();
        },
        true);
    tools->append(*nav_bar_item_);
    tools->append(*MakeLanguageMenu());
    AddActions(*tools, {nullptr, &act_QBXComment, &act_QBXShared});

    Gtk::Menu* help = SubMenu(main_menu_, "mni_Help", _("帮助"));
    AddActions(*help, {&act_Help, &act_Update, nullptr, &atc_about});
}

Gtk::MenuItem* Tfm_Quillon3::ViewModeItem(const char* name) {
    Gtk::MenuItem* item = PlainItem(name, _("浏览模式"));
    auto* modes = Gtk::manage(new Gtk::Menu());
    AddActions(*modes, {&act_browseMode, &act_NotImageMode});
    item->set_submenu(*modes);
    return item;
}

void Tfm_Quillon3::BuildPopupMenus() {
    AddActions(side_bar_menu_, {&act_NavTree});

    AddActions(contents_menu_,
               {&act_TvExpand, &act_TvCollapsed, nullptr, &act_QBXComment, &act_QBXShared});
    Gtk::MenuItem* properties = PlainItem("contents_properties_item", _("文件属性"));
    properties->signal_activate().connect([this] { act_QBXAttr.Execute(); });
    contents_menu_.append(*properties);
    AddSeparator(contents_menu_);

    browse_mode_item_ = ViewModeItem("browse_mode_item");
    page_tabs_menu_.append(*browse_mode_item_);
    AddActions(page_tabs_menu_, {&act_CloseWeb});
    script_prompts_off_item_ = Gtk::manage(new Gtk::CheckMenuItem(_("关闭脚本提示")));
    script_prompts_off_item_->set_name("script_prompts_off_item");
    script_prompts_off_item_->set_active(true);
    page_tabs_menu_.append(*script_prompts_off_item_);
    AddActions(page_tabs_menu_, {&act_FullScreen, nullptr, &act_QBXComment, &act_QBXShared});

    AddActions(document_page_menu_, {&act_QBXNavPrev, &act_QBXNavNext, &act_NavTree, nullptr,
                                     &act_QBXNavHome, &act_GoBack, &act_GoTo, nullptr, &act_QBXCopy,
                                     &act_QBXSelectAll, &act_QBXSearch, &act_QBXViewSource, nullptr,
                                     &act_QBXComment, &act_QBXShared, &act_QBXAttr, nullptr});
    // Attached to what they pop up over, so assistive tools (and the
    // window's tests) find them below the window like any other control.
    side_bar_menu_.set_name("side_bar_menu");
    side_bar_.SetMenu(side_bar_menu_);
    contents_menu_.set_name("contents_menu");
    side_bar_.Contents().SetMenu(contents_menu_);
    page_tabs_menu_.set_name("page_tabs_menu");
    page_tabs_.SetMenu(page_tabs_menu_);
    document_page_menu_.set_name("document_page_menu");
    document_page_menu_.attach_to_widget(page_tabs_);
    // A pop-up menu is a window of its own: its items find the actions here.
    for (Gtk::Menu* m :
         {&side_bar_menu_, &contents_menu_, &page_tabs_menu_, &document_page_menu_}) {
        m->insert_action_group(kWindowActionPrefix, action_group_);
        m->show_all();
    }
}

bool Tfm_Quillon3::OnKeyPreview(GdkEventKey* event) {
    // The shortcuts are the application's accelerators, which the window
    // tries once this returns false; a key the rules keep from them goes
    // straight to the focused control, also when the control hands it back.
    const std::optional<bool> routed = RouteKey(event);
    if (!routed)
        return false;
    if (!*routed && !gtk_window_propagate_key_event(gobj(), event))
        gtk_bindings_activate_event(G_OBJECT(gobj()), event);
    return true;
}

}  // namespace q3::reader
