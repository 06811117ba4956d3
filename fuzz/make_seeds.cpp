// Writes the fuzz targets' seed corpora with the project's own generators: pictures
// from tools/make_bmp.h, sounds from the tests' WAV writer, text files and names,
// and for the translator the tree's own programs in the language.
//   fuzz_make_seeds <fuzz/corpus>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sound/wav_writer.h"
#include "tools/make_bmp.h"

namespace {

using Bytes = std::vector<uint8_t>;

vxtools::Rgb Colour(int x, int y) {
    return vxtools::Rgb{(uint8_t)(x * 7), (uint8_t)(y * 13), (uint8_t)(x ^ y)};
}

// Glyph-like cells: white strokes on black, the font's transparent colour.
vxtools::Rgb Glyphs(int x, int y) {
    uint8_t v = ((x % 8 == 3) || (y % 8 == 2)) ? 255 : 0;
    return vxtools::Rgb{v, v, v};
}

// A picture whose pixel data holds only its bottom `rows` rows, as biSizeImage says.
Bytes ShortData(Bytes picture, size_t rowBytes, int rows) {
    picture.resize(54 + rowBytes * rows);
    vxtools::Put32(picture, 34, (uint32_t)(rowBytes * rows));
    vxtools::Put32(picture, 2, (uint32_t)picture.size());
    return picture;
}

Bytes Text(uint16_t line, const std::string& text, const std::string& file) {
    Bytes out = {(uint8_t)line, (uint8_t)(line >> 8)};
    out.insert(out.end(), text.begin(), text.end());
    out.push_back('\n');
    out.insert(out.end(), file.begin(), file.end());
    return out;
}

std::string Lines(int count, const char* end) {
    std::string out;
    for (int i = 0; i < count; ++i)
        out += "KEY" + std::to_string(i) + "=" + std::to_string(i * 7) + end;
    return out;
}

bool Put(const std::string& dir, const std::string& name, const Bytes& bytes) {
    mkdir(dir.c_str(), 0755);
    return vxtools::WriteFile(dir + "/" + name, bytes);
}

Bytes Of(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// Copies every .vx file under the tree's program folders into `dir`, named by its
// path with '/' as '-'.
bool CopyPrograms(const std::string& tree, const std::string& dir) {
    namespace fs = std::filesystem;
    bool ok = true;
    for (const char* folder : {"game", "examples", "tests", "bench"}) {
        std::error_code error;
        fs::recursive_directory_iterator it(fs::path(tree) / folder, error), end;
        for (; !error && it != end; it.increment(error)) {
            if (it->path().extension() != ".vx") continue;
            std::ifstream in(it->path(), std::ios::binary);
            std::stringstream text;
            text << in.rdbuf();
            std::string name = fs::relative(it->path(), tree).generic_string();
            for (char& c : name)
                if (c == '/') c = '-';
            ok &= Put(dir, name, Of(text.str()));
        }
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string root = argv[1];
    mkdir(root.c_str(), 0755);
    bool ok = true;

    const std::string bmp = root + "/bmp";
    ok &= Put(bmp, "1x1.bmp", vxtools::MakeBmp(1, 1, Colour));
    ok &= Put(bmp, "33x5.bmp", vxtools::MakeBmp(33, 5, Colour));
    ok &= Put(bmp, "7x3-top-down.bmp", vxtools::MakeBmp(7, 3, Colour, {true, true}));
    ok &= Put(bmp, "10x6-computed-size.bmp", vxtools::MakeBmp(10, 6, Colour, {false, false}));

    const std::string font = root + "/font";
    ok &= Put(font, "128x64.bmp", vxtools::MakeBmp(128, 64, Glyphs));
    ok &= Put(font, "128x64-eight-rows.bmp",
              ShortData(vxtools::MakeBmp(128, 64, Glyphs), 3 * 128, 8));
    ok &= Put(font, "160x64-computed-size.bmp",
              ShortData(vxtools::MakeBmp(160, 64, Glyphs, {false, false}), 3 * 160, 4));

    // Once an overflow in the computed pixel size: the largest sides, biSizeImage 0.
    Bytes huge = vxtools::MakeBmp(1, 1, Glyphs, {false, false});
    vxtools::Put32(huge, 18, 0x7FFFFFFF);
    vxtools::Put32(huge, 22, 0x7FFFFFFF);
    ok &= Put(font, "regression-largest-sides.bmp", huge);

    const std::string wave = root + "/wave";
    for (int formatSize : {16, 18, 40})
        for (int bits : {8, 16}) {
            wavgen::Layout l;
            l.rate = bits == 8 ? 11025 : 22050;
            l.bits = bits;
            l.channels = formatSize == 18 ? 2 : 1;
            l.formatSize = formatSize;
            l.listChunk = formatSize == 18;
            std::string name =
                "pcm" + std::to_string(bits) + "-fmt" + std::to_string(formatSize) + ".wav";
            ok &= Put(wave, name, wavgen::Make(l, wavgen::Tone(440, l.rate, 33, l.channels)));
        }

    const std::string lines = root + "/linefile";
    ok &= Put(lines, "crlf-line72", Text(72, "TEXT-SCROLL=1", Lines(100, "\r\n")));
    ok &= Put(lines, "lf-line3", Text(3, "Score=12", Lines(6, "\n")));
    ok &= Put(lines, "no-last-end", Text(5, "  two blanks", "a\r\nb\r\nlast"));
    ok &= Put(lines, "empty-file", Text(0, "", ""));
    ok &= Put(lines, "long-line", Text(2, "x", std::string(1500, 'L') + "\r\nshort\r\n"));
    ok &= Put(lines, "line-256", Text(256, "refused", "a\nb\n"));

    const std::string names = root + "/resolve";
    ok &= Put(names, "exact", Of("c:\\Program Files\\Game\\Game.cfg"));
    ok &= Put(names, "case", Of("C:\\PROGRAM FILES\\game\\GAME.CFG"));
    ok &= Put(names, "new-file", Of("d:\\new folder\\file.txt"));
    ok &= Put(names, "dots", Of("c:\\windows\\.\\system32\\\\x.dll"));
    ok &= Put(names, "relative", Of("Program Files\\x"));
    ok &= Put(names, "rooted", Of("\\PROGRAM FILES\\Game\\game.cfg"));
    // Once escapes from the prefix: ".." above a drive's root.
    ok &= Put(names, "regression-dots-above-the-drive", Of("c:\\..\\..\\outside.txt"));
    ok &= Put(names, "regression-rooted-dots", Of("\\windows\\..\\..\\..\\x"));

    ok &= CopyPrograms(root + "/../..", root + "/translate");
    // Once a crash: a REPEAT that the file ends before its UNTIL.
    ok &= Put(root + "/translate", "regression-repeat-left-open", Of("REPEAT"));
    return ok ? 0 : 1;
}
