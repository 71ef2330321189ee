// The commands and options of qbxtool, and the help texts made from them.
#include <algorithm>
#include <cstdio>
#include <string>

#include "cli.h"
#include "common/licence.h"
#include "server/ht_server.h"

namespace q3::tool {

namespace {

const Option kReadPassword = {"--password", "P", "the document's password (UTF-8)"};

std::string OptionColumn(const char* name, const char* value) {
    std::string column = name;
    if (value != nullptr)
        column += std::string(" ") + value;
    column.resize(std::max<size_t>(column.size() + 2, 20), ' ');
    return column;
}

}  // namespace

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"info", "FILE [--password P]", "the document's fields", CmdInfo, {kReadPassword}},
        {"records",
         "FILE [--password P]",
         "one line per directory entry",
         CmdRecords,
         {kReadPassword}},
        {"record",
         "FILE N [--password P]",
         "record N's content to stdout",
         CmdRecord,
         {kReadPassword}},
        {"verify",
         "FILE [--password P]",
         "read every record, list failures",
         CmdVerify,
         {kReadPassword}},
        {"contents", "FILE [--password P]", "the contents tree", CmdContents, {kReadPassword}},
        {"index", "FILE [--password P]", "the alphabetic index", CmdIndex, {kReadPassword}},
        {"cat",
         "FILE ADDRESS [--password P]",
         "the bytes served for a qbx://reader/ address",
         CmdCat,
         {kReadPassword}},
        {"search", "FILE WORD [--password P]", "full-text search", CmdSearch, {kReadPassword}},
        {"extract",
         "FILE DIR [--password P]",
         "write every item under DIR",
         CmdExtract,
         {kReadPassword}},
        {"pack",
         "DIR -o OUT.qbx [--contents SITEMAP] [--subject S] [--author A]\n"
         "       [--producer P] [--remarks R] [--password P] [--to-gbk]",
         "pack a folder into a document",
         CmdPack,
         {
             {"-o", "OUT.qbx", "the document to write"},
             {"--contents", "SITEMAP", "an HTML Help style contents file for the contents"},
             {"--subject", "S", "the document's subject (UTF-8)"},
             {"--author", "A", "its author (UTF-8)"},
             {"--producer", "P", "its producer (UTF-8)"},
             {"--remarks", "R", "its remarks (UTF-8)"},
             {"--password", "P", "protect the document with password P (UTF-8)"},
             {"--to-gbk", nullptr, "turn UTF-8 text files into GBK as they are packed"},
         }},
    };
    return commands;
}

const Command* FindCommand(const std::string& name) {
    for (const Command& c : Commands()) {
        if (name == c.name)
            return &c;
    }
    return nullptr;
}

const std::vector<ToolOption>& ToolOptions() {
    static const std::vector<ToolOption> options = {
        {"-h", "--help", ToolRequest::kHelp, "print this help and exit"},
        {"-V", "--version", ToolRequest::kVersion, "print the version and licence and exit"},
    };
    return options;
}

const ToolOption* FindToolOption(const std::string& arg) {
    for (const ToolOption& o : ToolOptions()) {
        if (arg == o.short_name || arg == o.long_name)
            return &o;
    }
    return nullptr;
}

void PrintUsage(std::FILE* out) {
    std::fputs("usage: qbxtool COMMAND ...\n", out);
    for (const Command& c : Commands()) {
        std::fprintf(out, "  %s %s\n      %s\n", c.name, c.synopsis, c.summary);
    }
    std::fputs("\n  help COMMAND        print COMMAND's help and exit\n", out);
    for (const ToolOption& o : ToolOptions()) {
        const std::string names = std::string(o.short_name) + ", " + o.long_name;
        std::fprintf(out, "  %s%s\n", OptionColumn(names.c_str(), nullptr).c_str(), o.help);
    }
    std::fputs(
        "\n"
        "COMMAND --help prints the command's options. Texts and passwords are UTF-8\n"
        "on the command line; \"--\" ends the options.\n"
        "Exit status: 0 success, 1 damage found (or a record that cannot be read),\n"
        "2 the document cannot be opened or bad usage.\n",
        out);
}

void PrintCommandHelp(const Command& command, std::FILE* out) {
    std::fprintf(out, "usage: qbxtool %s %s\n%s\n", command.name, command.synopsis,
                 command.summary);
    for (const Option& o : command.options) {
        std::fprintf(out, "  %s%s\n", OptionColumn(o.name, o.value).c_str(), o.help);
    }
}

void PrintVersion(std::FILE* out) {
    std::fprintf(out, "qbxtool %s (Quillon3 build %d)\n%s\n%s", Q3_VERSION, server::kReaderBuild,
                 kCopyrightLine, kLicenceNotice);
}

}  // namespace q3::tool
