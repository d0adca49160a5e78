// zifra-buildline PROGRAM OUTPUT: writes the line "CRC SIZE" of a program
// file, as the game sends its checksum and length, for zifra-server --builds.
// The windows build runs it (under Wine) on every zifra.exe it makes, so the
// line comes from the same checksum code as the game's own.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "net/build_checksum.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: zifra-buildline PROGRAM OUTPUT\n");
        return 2;
    }
    std::ifstream program(argv[1], std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(program)), std::istreambuf_iterator<char>());
    if (!program.eof() && !program) {
        std::fprintf(stderr, "zifra-buildline: cannot read %s\n", argv[1]);
        return 1;
    }
    std::ofstream line(argv[2], std::ios::binary);
    line << checksumOf(bytes) << ' ' << bytes.size() << '\n';
    if (!line.flush()) {
        std::fprintf(stderr, "zifra-buildline: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
