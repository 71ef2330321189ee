// Shared plumbing of the qbxtool commands: argument parsing, exit codes and
// opening a document the way the reader does.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/manager.h"

namespace q3::tool {

enum Exit : int {
    kOk = 0,
    kDamage = 1,    // the document opened but something in it is damaged
    kCannot = 2,    // the document cannot be opened, or the command line is wrong
};

struct Args {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;  // "--name" -> value ("" for flags)
    bool Has(const std::string& name) const { return options.count(name) != 0; }
    std::string Get(const std::string& name, const std::string& fallback = "") const;
};

// Parses "--name value" pairs; flags take no value. Empty on a malformed line
// (the message is printed).
std::optional<Args> ParseArgs(int argc, char** argv, int first,
                              const std::vector<std::string>& value_options,
                              const std::vector<std::string>& flag_options);

// Opens FILE with --password (UTF-8, turned into GBK). Prints the reader's own
// message to stderr and returns null when the document cannot be opened.
std::unique_ptr<doc::TQBXManage> OpenDocument(const std::string& file, const Args& args);

// Writes GBK document text to stdout as UTF-8.
std::string Utf8(std::string_view gbk);

int Usage(const char* message = nullptr);

// The commands, each returning an exit status.
int CmdInfo(const Args& args);
int CmdRecords(const Args& args);
int CmdRecord(const Args& args);
int CmdVerify(const Args& args);
int CmdPack(const Args& args);
int CmdContents(const Args& args);
int CmdIndex(const Args& args);
int CmdCat(const Args& args);
int CmdSearch(const Args& args);
int CmdExtract(const Args& args);

}  // namespace q3::tool
