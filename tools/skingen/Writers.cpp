#include "Writers.h"

#include "res/BuiltInSkinLayout.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace skingen {

namespace {

void PutLE(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(char((v >> (8 * i)) & 0xFF));
}

// The bitmap header without the file header (40 bytes).
std::string InfoHeader(int w, int h, int bits, std::uint32_t imageBytes) {
    std::string out;
    PutLE(out, 40, 4);
    PutLE(out, std::uint32_t(w), 4);
    PutLE(out, std::uint32_t(h), 4);
    PutLE(out, 1, 2);
    PutLE(out, std::uint32_t(bits), 2);
    PutLE(out, 0, 4);
    PutLE(out, imageBytes, 4);
    PutLE(out, 2835, 4);
    PutLE(out, 2835, 4);
    PutLE(out, 0, 4);
    PutLE(out, 0, 4);
    return out;
}

std::string NumberLine(const int* n, int count) {
    std::string line;
    for (int i = 0; i < count; ++i)
        line += (i ? ", " : "") + std::to_string(n[i]);
    return line;
}

std::string ColourLine(const builtin::SkinColour& c) {
    const int n[3] = {c.r, c.g, c.b};
    return NumberLine(n, 3);
}

const char* FileOf(int id) {
    return builtin::FindImage(id)->pszFile;
}

class Description {
public:
    Description(const std::string& window) {
        Comment("Corvella sample skin: the " + window + ".");
        Comment("Lines starting with two slashes are comments. Every other line is a value and");
        Comment("its meaning is its place: five header lines, then the values in a fixed order.");
        for (const char* h :
             {"Test Skin", "The sample skin of Corvella", "Drawn by the Corvella skin generator",
              "Version 1", "Use it as the starting point of a skin of your own"})
            Value(h);
    }
    void Comment(const std::string& s) { m_out << "// " << s << "\n"; }
    void Value(const std::string& s) { m_out << s << "\n"; }
    void Images(const int* ids, std::size_t count) {
        Comment("Images (24-bit bitmaps in this folder):");
        for (std::size_t i = 0; i < count; ++i)
            Value(FileOf(ids[i]));
    }
    void Pieces(const builtin::FramePieces& pieces) {
        Comment("Frame pieces 0 to 21 from image 1: source x, source y, width, height.");
        for (const builtin::FramePiece& p : pieces) {
            const int n[4] = {p.x, p.y, p.cx, p.cy};
            Value(NumberLine(n, 4));
        }
    }
    template <std::size_t N> void Controls(const std::array<builtin::ControlLine, N>& lines) {
        Comment("Controls: x, y, width, height (negative: from the right or bottom edge), then");
        Comment("the source points and values of the kind; -1, -1 is a source not given.");
        for (const builtin::ControlLine& l : lines) {
            Comment("id " + std::to_string(l.nID) + ": " + l.pszName);
            Value(NumberLine(l.n.data(), l.nCount));
        }
    }
    std::string Text() const { return m_out.str(); }

private:
    std::ostringstream m_out;
};

} // namespace

std::string EncodeBmp(const Canvas& c) {
    const int stride = (c.Width() * 3 + 3) / 4 * 4;
    const std::uint32_t imageBytes = std::uint32_t(stride * c.Height());
    std::string out = "BM";
    PutLE(out, 54 + imageBytes, 4);
    PutLE(out, 0, 4);
    PutLE(out, 54, 4);
    out += InfoHeader(c.Width(), c.Height(), 24, imageBytes);
    for (int y = c.Height() - 1; y >= 0; --y) {
        std::string row(std::size_t(stride), '\0');
        for (int x = 0; x < c.Width(); ++x) {
            const Colour p = c.At(x, y);
            row[std::size_t(3 * x)] = char(p & 0xFF);
            row[std::size_t(3 * x + 1)] = char((p >> 8) & 0xFF);
            row[std::size_t(3 * x + 2)] = char((p >> 16) & 0xFF);
        }
        out += row;
    }
    return out;
}

std::string EncodeCur(const Canvas& c, int hotX, int hotY) {
    const int w = c.Width(), h = c.Height();
    const int maskStride = (w + 31) / 32 * 4;
    std::string dib = InfoHeader(w, 2 * h, 32, std::uint32_t(w * h * 4 + maskStride * h));
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x)
            PutLE(dib, c.At(x, y), 4); // B, G, R, A
    for (int y = h - 1; y >= 0; --y) {
        std::string row(std::size_t(maskStride), '\0');
        for (int x = 0; x < w; ++x)
            if ((c.At(x, y) >> 24) == 0)
                row[std::size_t(x / 8)] |= char(1 << (7 - x % 8));
        dib += row;
    }
    std::string out;
    PutLE(out, 0, 2);
    PutLE(out, 2, 2); // a cursor
    PutLE(out, 1, 2);
    out.push_back(char(w));
    out.push_back(char(h));
    out.push_back(0);
    out.push_back(0);
    PutLE(out, std::uint32_t(hotX), 2);
    PutLE(out, std::uint32_t(hotY), 2);
    PutLE(out, std::uint32_t(dib.size()), 4);
    PutLE(out, 22, 4);
    return out + dib;
}

std::string EncodeResourceSource(const std::vector<std::pair<int, std::string>>& resources) {
    std::ostringstream out;
    out << "// Written by the skin generator (tools/skingen) at build time.\n"
        << "#include \"skin/BuiltInSkin.h\"\n\n#include <array>\n\nnamespace builtin {\n\n"
        << "namespace {\n\n";
    for (const auto& [id, bytes] : resources) {
        out << "const std::uint8_t kRes" << id << "[] = {";
        for (std::size_t i = 0; i < bytes.size(); ++i)
            out << (i % 24 ? "" : "\n    ") << unsigned(std::uint8_t(bytes[i])) << ",";
        out << "\n};\n\n";
    }
    out << "const std::array<BuiltInResource, " << resources.size() << "> kResources{{\n";
    for (const auto& [id, bytes] : resources)
        out << "    {" << id << ", kRes" << id << ", sizeof kRes" << id << "},\n";
    out << "}};\n\n} // namespace\n\n"
        << "std::span<const BuiltInResource> BuiltInResources() {\n    return kResources;\n}\n\n"
        << "} // namespace builtin\n";
    return out.str();
}

const std::vector<std::string>& CursorFileNames() {
    static const std::vector<std::string> names{"drag.cur",          "size-horizontal.cur",
                                                "size-vertical.cur", "button.cur",
                                                "size-corner.cur",   "arrow.cur"};
    return names;
}

std::vector<std::pair<std::string, std::string>> DescriptionFiles() {
    using namespace builtin;
    Description main("main window");
    main.Comment("Label text colour, then label background colour (red, green, blue):");
    main.Value(ColourLine(kLabelText));
    main.Value(ColourLine(kLabelBack));
    main.Images(kMainImages.data(), kMainImages.size());
    main.Comment("Cursors: drag area, left/right edge, top/bottom edge, single buttons, corner,");
    main.Comment("elsewhere:");
    for (const std::string& name : CursorFileNames())
        main.Value(name);
    main.Controls(kMainControls);

    Description playlist("playlist window");
    playlist.Comment("Colours: rows, selected rows, text, cursor-row text, label background,");
    playlist.Comment("label text:");
    for (const SkinColour& c : kPlaylistColours)
        playlist.Value(ColourLine(c));
    playlist.Images(kPlaylistImages.data(), kPlaylistImages.size());
    playlist.Pieces(builtin::kPlaylistPieces);
    playlist.Controls(kPlaylistControls);

    Description play("play window");
    play.Images(kPlayImages.data(), kPlayImages.size());
    play.Pieces(builtin::kPlayPieces);
    play.Controls(kPlayControls);

    return {{"MainWindow.txt", main.Text()},
            {"PlaylistWindow.txt", playlist.Text()},
            {"PlayWindow.txt", play.Text()}};
}

bool WriteFile(const std::string& path, const std::string& data) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(data.data(), std::streamsize(data.size()));
    if (!f) {
        std::fprintf(stderr, "skingen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace skingen
