// Writes the seeds of the settings fuzz target into a folder: a selector byte
// (0: the current user's hive, 1: the classes hive, 2: an INI data file) and
// a text as the reader writes and meets them.
#include <filesystem>
#include <fstream>
#include <string>

namespace {

void Save(const std::filesystem::path& dir, const char* name, char selector,
          const std::string& text) {
    std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
    out << selector << text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    Save(dir, "user.reg", 0,
         "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER]\n\n"
         "[HKEY_CURRENT_USER\\SOFTWARE\\Tarvik\\Quillon3]\n\"FackColor-Quillon3\"=dword:00f0caa6\n"
         "@=\"default\"\n\"Quote\\\"d\"=\"a\\\\b\\n\\x01\"\n\n"
         "[HKEY_CURRENT_USER\\SOFTWARE\\Tarvik\\Quillon3\\书签]\n\"BookName0\"=\"第一章\"\n");
    Save(dir, "classes.reg", 1,
         "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n; comment\r\n"
         "[hkey_classes_root\\.qbx]\r\n@ = "
         "\"Quillon\"\r\n[HKEY_CLASSES_ROOT\\Quillon\\Shell\\Open]\r\n"
         "\"N\"=DWORD:1F\r\n[HKEY_CLASSES_ROOT\\a\\\\b\\]\r\n\"Bad\"=hex:01\r\n");
    Save(dir, "rurls.dat", 2,
         "[URLs]\nurl0=/home/u/a.qbx\nurl1=http://example.org/?a=b\nCount=2\n[urls]\nURL2=x\n");
    Save(dir, "huge-count.dat", 2, "[URLs]\nCount=2147483647\nurl0=a\n");
    return 0;
}
