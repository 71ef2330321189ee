// Points the user's configuration, data and home folders at a private
// temporary folder for one test, so nothing reaches the real desktop.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"

namespace q3::testing {

class ScopedEnv {
  public:
    ScopedEnv(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str()))
            old_ = old;
        if (value) {
            setenv(name_.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_.c_str(), old_->c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    std::optional<std::string> old_;
};

class XdgSandbox {
  public:
    XdgSandbox()
        : home_("HOME", dir_.File("home")),
          config_("XDG_CONFIG_HOME", dir_.File("config")),
          data_("XDG_DATA_HOME", dir_.File("data")) {}

    const TempDir& dir() const { return dir_; }
    std::string config() const { return dir_.File("config"); }
    std::string data() const { return dir_.File("data"); }
    std::string home() const { return dir_.File("home"); }
    std::string hive(const char* name) const { return config() + "/quillon3/" + name + ".reg"; }

  private:
    TempDir dir_;
    ScopedEnv home_;
    ScopedEnv config_;
    ScopedEnv data_;
};

}  // namespace q3::testing
