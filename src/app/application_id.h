// The name the reader runs under on the session bus. Readers with the same
// name are one: a second start hands its book to the first.
#pragma once

#include <string>

namespace q3::app {

inline constexpr const char* kApplicationId = "net.quillon3.Reader";

// kApplicationId for the usual settings folder (home/.config); any other
// settings folder gets a name of its own, so that readers started with
// settings of their own (tests, a second profile) never take each other's
// books.
std::string ApplicationIdFor(const std::string& config_dir, const std::string& home_dir);

}  // namespace q3::app
