// pack: a folder into a document.
#include <cstdio>

#include "cli.h"

namespace q3::tool {

int CmdPack(const Args&) {
    std::fprintf(stderr, "qbxtool: pack is not available yet\n");
    return kCannot;
}

}  // namespace q3::tool
