// Shared plumbing of the qbxtool commands: argument parsing, exit codes and
// opening a document the way the reader does.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/manager.h"

namespace q3::tool {

enum Exit : int {
    kOk = 0,
    kDamage = 1,  // the document opened but something in it is damaged
    kCannot = 2,  // the document cannot be opened, or the command line is wrong
};

struct Args {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;  // "--name" -> value ("" for flags)
    bool help = false;                           // --help or -h was given
    bool Has(const std::string& name) const { return options.count(name) != 0; }
    std::string Get(const std::string& name, const std::string& fallback = "") const;
};

// One option of a command. The tables below drive the parsing and the help
// texts, and a unit test checks the manual page against them.
struct Option {
    const char* name;   // "--password", "-o"
    const char* value;  // what the value stands for ("P"); null for a flag
    const char* help;
};

struct Command {
    const char* name;
    const char* synopsis;  // what follows the command's name
    const char* summary;
    int (*run)(const Args&);
    std::vector<Option> options;
};

const std::vector<Command>& Commands();
const Command* FindCommand(const std::string& name);

// What the tool does when the first argument is one of these instead of a
// command ("help COMMAND" prints that command's help).
enum class ToolRequest { kHelp, kVersion };
struct ToolOption {
    const char* short_name;
    const char* long_name;
    ToolRequest request;
    const char* help;
};
const std::vector<ToolOption>& ToolOptions();
const ToolOption* FindToolOption(const std::string& arg);

// Parses "--name value" and "--name=value" pairs; flags take no value. "--"
// ends the options; an argument that is a negative number is a positional one
// (a record number), not an option. Empty on a malformed line (the message is
// printed).
std::optional<Args> ParseArgs(int argc, char** argv, int first, const std::vector<Option>& options);

// A record number as given on the command line: a decimal integer, maybe
// signed. Record numbers are 32-bit, so a number outside that range is still a
// record number, one that names no record.
struct RecordArg {
    bool is_number = false;
    std::optional<int32_t> record;  // empty when out of range
};
RecordArg ParseRecordArg(const std::string& s);

// Opens FILE with --password (UTF-8, turned into GBK). Prints the reader's own
// message to stderr and returns null when the document cannot be opened.
std::unique_ptr<doc::TQBXManage> OpenDocument(const std::string& file, const Args& args);

// Writes GBK document text to stdout as UTF-8.
std::string Utf8(std::string_view gbk);

// The bad-usage status, after message and a pointer to --help on stderr (the
// whole usage when there is no message).
int Usage(const char* message = nullptr);
// What --help and --version print, to out.
void PrintUsage(std::FILE* out);
void PrintCommandHelp(const Command& command, std::FILE* out);
void PrintVersion(std::FILE* out);

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
