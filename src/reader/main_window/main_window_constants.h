// The main window's fixed names, texts and sizes, shared by its files and
// by the tests that check them.
#pragma once

#include <chrono>

#include "common/translation.h"

namespace q3::reader {

inline constexpr const char* kAppName = "Quillon3";
inline constexpr const char* kHelpBook = "Quillon3.qbx";
inline constexpr const char* kQuitQuestion = N_("确定要退出 Quillon3？");
// How long the window waits for a browser's blank page, the ground every
// page of the reader's own is written on.
inline constexpr auto kBlankPageWait = std::chrono::seconds(10);
inline constexpr int kMainWidth = 1016;
inline constexpr int kMainHeight = 600;
inline constexpr int kSideBarWidth = 241;
// pan_Adsender, top right, and the logo at its right end.
inline constexpr int kAdStripWidth = 214;
inline constexpr int kAdStripHeight = 19;
inline constexpr int kLogoWidth = 38;

}  // namespace q3::reader
