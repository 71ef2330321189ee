// The main window's actions, main menu, pop-up menus and shortcuts.
#include <gtkmm/editable.h>
#include <gtkmm/separatormenuitem.h>

#include "reader/main_window/main_window.h"

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
}

void Tfm_Quillon3::BuildMainMenu() {
    Gtk::Menu* file = SubMenu(mm1, "mni_File", "文件");
    AddActions(*file,
               {&act_openfile, &act_saveas, nullptr, &act_print, &act_QBXAttr, nullptr, &act_exit});

    Gtk::Menu* edit = SubMenu(mm1, "mni_Edit", "编辑");
    AddActions(*edit,
               {&act_QBXCopy, &act_QBXSelectAll, nullptr, &act_QBXSearch, &act_QBXViewSource});

    Gtk::Menu* view = SubMenu(mm1, "mni_View", "视图");
    AddActions(*view, {&act_NavTree, nullptr, &act_GoHome, &act_Refresh});
    Nweb_Scle = PlainItem("Nweb_Scle", "显示比例");
    auto* zoom = Gtk::manage(new Gtk::Menu());
    N12 = PlainItem("N12", "还原");
    N_WebZoomMax = PlainItem("N_WebZoomMax", "放大");
    N_WebZoomMin = PlainItem("N_WebZoomMin", "缩小");
    zoom->append(*N12);
    zoom->append(*N_WebZoomMax);
    zoom->append(*N_WebZoomMin);
    N12->signal_activate().connect([this] { ZoomClick(1); });
    N_WebZoomMax->signal_activate().connect([this] { ZoomClick(2); });
    N_WebZoomMin->signal_activate().connect([this] { ZoomClick(3); });
    Nweb_Scle->set_submenu(*zoom);
    view->append(*Nweb_Scle);
    AddSeparator(*view);
    view->append(*act_GoTo.MakeMenuItem("前进      "));
    AddActions(*view, {&act_GoBack, &act_Stop, nullptr, &act_FullScreen});

    Gtk::Menu* tools = SubMenu(mm1, "mni_Tools", "工具");
    Gtk::MenuItem* schemes = PlainItem("mni_ColorScheme", "配色方案");
    auto* scheme_menu = Gtk::manage(new Gtk::Menu());
    static const char* const kColorItemNames[] = {
        "mni_ColorDefault", "mni_ColorBlue", "mni_ColorGreen", "mni_ColorPink", "mni_ColorCustom"};
    for (std::size_t i = 0; i < ColorSchemeMenu::kEntryCount; ++i) {
        auto* item = Gtk::manage(new Gtk::CheckMenuItem(std::string(ColorSchemeMenu::Caption(i))));
        item->set_name(kColorItemNames[i]);
        item->set_draw_as_radio(true);
        item->signal_activate().connect(
            [this, i] {
                if (!menu_syncing_)
                    ColorSchemeClick(i);
            },
            true);
        mni_Colors[i] = item;
        scheme_menu->append(*item);
    }
    schemes->set_submenu(*scheme_menu);
    tools->append(*schemes);
    mni_NavBar = Gtk::manage(new Gtk::CheckMenuItem("导航条"));
    mni_NavBar->set_name("mni_NavBar");
    mni_NavBar->signal_activate().connect(
        [this] {
            if (!menu_syncing_)
                NavBarClick();
        },
        true);
    tools->append(*mni_NavBar);
    AddActions(*tools, {nullptr, &act_QBXComment, &act_QBXShared});

    Gtk::Menu* help = SubMenu(mm1, "mni_Help", "帮助");
    AddActions(*help, {&act_Help, &act_Update, nullptr, &atc_about});
}

void Tfm_Quillon3::BuildPopupMenus() {
    AddActions(pm_pgc_navTree, {&act_NavTree});

    AddActions(pm_pgcNave,
               {&act_TvExpand, &act_TvCollapsed, nullptr, &act_QBXComment, &act_QBXShared});
    Gtk::MenuItem* properties = PlainItem("mni_TreeProperties", "文件属性");
    properties->signal_activate().connect([this] { act_QBXAttr.Execute(); });
    pm_pgcNave.append(*properties);
    AddSeparator(pm_pgcNave);

    mni_BrowseMode = PlainItem("mni_BrowseMode", "浏览模式");
    auto* modes = Gtk::manage(new Gtk::Menu());
    AddActions(*modes, {&act_browseMode, &act_NotImageMode});
    mni_BrowseMode->set_submenu(*modes);
    mni_BrowseMode->set_no_show_all(true);
    pm_Main.append(*mni_BrowseMode);
    AddActions(pm_Main, {&act_CloseWeb});
    mni_ScriptOff = Gtk::manage(new Gtk::CheckMenuItem("关闭脚本提示"));
    mni_ScriptOff->set_name("mni_ScriptOff");
    mni_ScriptOff->set_active(true);
    pm_Main.append(*mni_ScriptOff);
    AddActions(pm_Main, {&act_FullScreen, nullptr, &act_QBXComment, &act_QBXShared});

    AddActions(pm_Webqbx, {&act_QBXNavPrev, &act_QBXNavNext, &act_NavTree, nullptr, &act_QBXNavHome,
                           &act_GoBack, &act_GoTo, nullptr, &act_QBXCopy, &act_QBXSelectAll,
                           &act_QBXSearch, &act_QBXViewSource, nullptr, &act_QBXComment,
                           &act_QBXShared, &act_QBXAttr, nullptr});
    for (Gtk::Menu* m : {&pm_pgc_navTree, &pm_pgcNave, &pm_Main, &pm_Webqbx}) {
        m->show_all();
    }
    for (TAction* a : AllActions())
        a->Sync();
}

bool Tfm_Quillon3::OnKeyPreview(GdkEventKey* event) {
    const auto state = static_cast<Gdk::ModifierType>(event->state);
    // Select-all in a text box selects its text, not the page.
    Gtk::Widget* focus = get_focus();
    const bool in_edit = focus != nullptr && dynamic_cast<Gtk::Editable*>(focus) != nullptr;
    for (TAction* a : AllActions()) {
        if (!a->MatchesShortcut(event->keyval, state))
            continue;
        if (in_edit && a == &act_QBXSelectAll)
            return false;
        if (a->Execute())
            return true;
    }
    return false;
}

}  // namespace q3::reader
