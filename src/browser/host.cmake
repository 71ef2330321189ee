# The browser host: the web view wrapper, host containers and page commands
# (GTK and WebKit), over a toolkit-free part with the host's rules that the
# unit tests reach without a display. Included from the top level after
# src/browser, whose layer root makes these headers "browser/...".
set(Q3_BROWSER_DIR ${PROJECT_SOURCE_DIR}/src/browser)

add_library(q3_browser_host_rules STATIC
  ${Q3_BROWSER_DIR}/host_flags.cpp ${Q3_BROWSER_DIR}/load_error_page.cpp
  ${Q3_BROWSER_DIR}/render_policy.cpp)
target_include_directories(q3_browser_host_rules PUBLIC ${CMAKE_BINARY_DIR}/layer-include/browser)
target_link_libraries(q3_browser_host_rules PUBLIC q3_common)

if(QUILLON3_GUI)
  add_library(q3_browser STATIC
    ${Q3_BROWSER_DIR}/browser_commands.cpp
    ${Q3_BROWSER_DIR}/find_dialog.cpp
    ${Q3_BROWSER_DIR}/gl_probe.cpp
    ${Q3_BROWSER_DIR}/link_clicks.cpp
    ${Q3_BROWSER_DIR}/night_style.cpp
    ${Q3_BROWSER_DIR}/page_helpers.cpp
    ${Q3_BROWSER_DIR}/page_scroll.cpp
    ${Q3_BROWSER_DIR}/page_windows.cpp
    ${Q3_BROWSER_DIR}/url_cache.cpp
    ${Q3_BROWSER_DIR}/wb_container.cpp
    ${Q3_BROWSER_DIR}/web_browser.cpp
    ${Q3_BROWSER_DIR}/web_browser_events.cpp
  )
  # The scheme's record of each view: the browser reports the loads the
  # reader starts and the windows pages open.
  # libepoxy (GTK's own GL loader) for the renderer probe.
  pkg_check_modules(EPOXY REQUIRED IMPORTED_TARGET epoxy)
  target_link_libraries(q3_browser
    PUBLIC q3_browser_host_rules q3_scheme q3_common PkgConfig::GTKMM PkgConfig::WEBKIT
    PRIVATE PkgConfig::EPOXY)
endif()
