// tvpb_setversion IN OUT VERSION
// Writes OUT: IN with its embedded file version replaced by VERSION. The build
// reserves room after the version text, so the new text may be longer.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>

#include "EmbeddedVersion.h"

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: tvpb_setversion IN OUT VERSION\n");
        return 2;
    }
    const std::string version = argv[3];
    for (char c : version)
        if (!tvpbversion::isVersionChar(c)) {
            std::fprintf(stderr, "tvpb_setversion: a version holds only letters, digits, '.', '-' and '_'\n");
            return 2;
        }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "tvpb_setversion: cannot read %s\n", argv[1]);
        return 1;
    }
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t start = 0, length = 0;
    if (!tvpbversion::find(data, &start, &length)) {
        std::fprintf(stderr, "tvpb_setversion: %s has no embedded version\n", argv[1]);
        return 1;
    }
    size_t room = start + length;
    while (room < data.size() && data[room] == '\0') ++room;
    if (version.size() + 1 > room - start) {
        std::fprintf(stderr, "tvpb_setversion: no room for a version of %zu characters\n", version.size());
        return 1;
    }
    std::fill(data.begin() + long(start), data.begin() + long(room), '\0');
    std::copy(version.begin(), version.end(), data.begin() + long(start));
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(data.data(), long(data.size()));
    if (!out) {
        std::fprintf(stderr, "tvpb_setversion: cannot write %s\n", argv[2]);
        return 1;
    }
    out.close();
    struct stat st {};
    if (::stat(argv[1], &st) == 0) ::chmod(argv[2], st.st_mode & 07777);
    return 0;
}
