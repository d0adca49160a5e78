// assetgen <res directory> <output directory> [<contact sheet .png>]
//
// Turns the editable sources in res/ into the files that res/zifra.rc embeds:
//   pictures/*.txt  ->  <picture>.pvb   ("pvb/rle" pictures)
//   sounds.txt      ->  <cue>.wav
//   icon.txt        ->  zifra.ico
//   (the palette)   ->  palette.bmp
// and, if asked, draws every picture at four times its size onto a contact sheet.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "contact_sheet.h"
#include "gfx/image.h"
#include "icon.h"
#include "palette.h"
#include "pictures.h"
#include "sounds.h"
#include "text_sources.h"

namespace fs = std::filesystem;

namespace {

int failures = 0;

void fail(const std::string& message) {
    std::fprintf(stderr, "assetgen: %s\n", message.c_str());
    ++failures;
}

// Leaves a file that already holds these bytes untouched, so that builds
// depending on it are not redone for nothing.
void writeFile(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    std::ifstream old(file, std::ios::binary);
    if (old && std::vector<std::uint8_t>(std::istreambuf_iterator<char>(old), {}) == bytes) return;
    old.close();
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) fail("cannot write " + file.string());
}

ColourPicture inColours(const PixelMap& map, const std::vector<PaletteColour>& colours, PaletteColour clear) {
    ColourPicture picture{map.width, map.height, {}};
    for (int value : map.values) picture.pixels.push_back(value == CLEAR ? clear : colours[value]);
    return picture;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: assetgen <res directory> <output directory> [<contact sheet .png>]\n");
        return 2;
    }
    const fs::path res = argv[1];
    const fs::path output = argv[2];
    std::error_code error;
    fs::create_directories(output, error);

    writeFile(output / "palette.bmp", paletteBitmapFile());
    const std::vector<PaletteColour> colours = gameColours();

    std::vector<fs::path> sources;
    for (const auto& entry : fs::directory_iterator(res / "pictures", error))
        if (entry.path().extension() == ".txt") sources.push_back(entry.path());
    if (sources.empty()) fail("no picture sources in " + (res / "pictures").string());
    std::sort(sources.begin(), sources.end());

    std::set<std::string> names;
    std::vector<std::vector<ColourPicture>> sheet;
    for (const fs::path& source : sources) {
        sheet.emplace_back();
        for (const PixelMap& map : readPixelMaps(source)) {
            if (!names.insert(map.name).second) fail("two pictures are named " + map.name);
            std::string fault;
            if (auto bytes = encodePvbRle(map, fault)) writeFile(output / (map.name + ".pvb"), *bytes);
            else fail(source.string() + ": " + fault);
            sheet.back().push_back(inColours(map, colours, colours[TRANSPARENT_INDEX]));
        }
    }

    for (const SoundFile& sound : synthesiseSounds(res / "sounds.txt"))
        writeFile(output / (sound.name + ".wav"), sound.bytes);

    std::vector<PixelMap> icons = readPixelMaps(res / "icon.txt");
    std::string fault;
    if (icons.size() != 1) fail("icon.txt must hold exactly one picture");
    else if (auto bytes = iconFile(icons[0], fault)) writeFile(output / "zifra.ico", *bytes);
    else fail(fault);
    if (icons.size() == 1) sheet.push_back({inColours(icons[0], iconColours(), colours[TRANSPARENT_INDEX])});

    if (argc == 4 && !writeContactSheet(argv[3], sheet)) fail(std::string("cannot write ") + argv[3]);
    return failures ? 1 : 0;
}
