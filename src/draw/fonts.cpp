// SPDX-License-Identifier: MIT
#include "draw/fonts.h"

#include <SDL_ttf.h>

#ifdef _WIN32
#include <windows.h>
#include <shlobj.h>
#elif defined(__EMSCRIPTEN__)
#include <cstdlib>
#else
#include <fontconfig/fontconfig.h>
#endif

#include "base/files.h"
#include "draw/geometry.h"

using namespace hvezda;

namespace draw {

using base::pathFromUtf8;
using base::utf8FromPath;

#ifdef _WIN32

namespace {

// The families Windows has had for this kind of type, best match first; Wine
// ships Tahoma among its own fonts.
struct WindowsFont {
    const char* file;
    const char* family;
};
constexpr WindowsFont kWindowsFonts[] = {
    {"micross.ttf", "Microsoft Sans Serif"}, {"tahoma.ttf", "Tahoma"}, {"segoeui.ttf", "Segoe UI"}, {"arial.ttf", "Arial"}};

std::filesystem::path windowsFontsFolder() {
    std::filesystem::path folder;
    wchar_t* known = nullptr;
    if (SHGetKnownFolderPath(FOLDERID_Fonts, 0, nullptr, &known) == S_OK) folder = known;
    CoTaskMemFree(known);
    return folder;
}

// The whole font file GDI draws `family` with, itself or its substitute:
// nothing when that is no single TrueType file.
std::optional<FontFile> installedFont(const char* family) {
    LOGFONTW asked{};
    asked.lfHeight = -12;
    asked.lfCharSet = EASTEUROPE_CHARSET;  // the Czech letters
    pathFromUtf8(family).wstring().copy(asked.lfFaceName, LF_FACESIZE - 1);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontIndirectW(&asked);
    std::optional<FontFile> found;
    if (dc && font) {
        const HGDIOBJ old = SelectObject(dc, font);
        wchar_t face[LF_FACESIZE] = L"";
        GetTextFaceW(dc, LF_FACESIZE, face);
        constexpr DWORD kCollection = 0x66637474;  // 'ttcf': the face's index would be unknown
        const DWORD size = GetFontData(dc, 0, 0, nullptr, 0);
        if (GetFontData(dc, kCollection, 0, nullptr, 0) == GDI_ERROR && size != GDI_ERROR && size > 0) {
            auto bytes = std::make_shared<std::vector<char>>(size);
            const std::string name = utf8FromPath(face);
            if (GetFontData(dc, 0, 0, bytes->data(), size) == size)
                found = FontFile{name + " (installed)", 0, name, std::move(bytes)};
        }
        SelectObject(dc, old);
    }
    if (font) DeleteObject(font);
    if (dc) DeleteDC(dc);
    return found;
}

}  // namespace

std::optional<FontFile> findFontFile(std::string_view) {
    const std::filesystem::path folder = windowsFontsFolder();
    std::error_code ec;
    for (const WindowsFont& f : kWindowsFonts)
        if (!folder.empty() && std::filesystem::is_regular_file(folder / f.file, ec))
            return FontFile{utf8FromPath(folder / f.file), 0, f.family, nullptr};
    return installedFont(kWindowsFonts[0].family);
}

void releaseFontLookup() {}

namespace {

std::string noFontFound() {
    std::string names;
    for (const WindowsFont& f : kWindowsFonts) names += std::string(names.empty() ? "" : ", ") + f.file;
    return "none of " + names + " in " + utf8FromPath(windowsFontsFolder()) + ", and Windows draws " + kWindowsFonts[0].family + " with no TrueType file";
}

}  // namespace

#elif defined(__EMSCRIPTEN__)

// A browser has no fonts to look up: the page brings Liberation Sans along
// (in /fonts, or in $HVEZDA_FONTS under node), the font the Linux build draws with.
std::optional<FontFile> findFontFile(std::string_view) {
    const char* folder = std::getenv("HVEZDA_FONTS");
    return FontFile{std::string(folder && *folder ? folder : "/fonts") + "/LiberationSans-Regular.ttf", 0,
                    std::string(kPreferredFamily), nullptr};
}

void releaseFontLookup() {}

namespace {

std::string noFontFound() { return "the program came without its font"; }

}  // namespace

#else

namespace {

std::optional<FontFile> matchFont(const std::string& name) {
    if (!FcInit()) return std::nullopt;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name.c_str()));
    if (!pattern) return std::nullopt;
    // Czech captions need their diacritics, and SDL_ttf draws only outlines.
    FcLangSet* langs = FcLangSetCreate();
    FcLangSetAdd(langs, reinterpret_cast<const FcChar8*>("cs"));
    FcPatternAddLangSet(pattern, FC_LANG, langs);
    FcLangSetDestroy(langs);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return std::nullopt;
    std::optional<FontFile> found;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file && *file) {
        FontFile f;
        f.path = reinterpret_cast<const char*>(file);
        int index = 0;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) f.index = index;
        FcChar8* fam = nullptr;
        if (FcPatternGetString(match, FC_FAMILY, 0, &fam) == FcResultMatch && fam)
            f.family = reinterpret_cast<const char*>(fam);
        found = std::move(f);
    }
    FcPatternDestroy(match);
    return found;
}

}  // namespace

std::optional<FontFile> findFontFile(std::string_view family) {
    // FcFontMatch answers with its best substitute when the family is missing,
    // so the preferred family counts only when that is what it gave, and the
    // generic family is only the last resort for an odd configuration.
    if (auto f = matchFont(std::string(kPreferredFamily)); f && f->family == kPreferredFamily) return f;
    if (auto f = matchFont(std::string(family))) return f;
    return matchFont("sans-serif");
}

void releaseFontLookup() { FcFini(); }

namespace {

std::string noFontFound() { return "fontconfig knows no scalable font"; }

}  // namespace

#endif

FontCache::~FontCache() {
    for (auto& [key, opened] : open_)
        if (opened.font) TTF_CloseFont(opened.font);
}

const FontCache::Opened& FontCache::open(const Font& font) {
    const int size = fontPixels(font.size);
    const std::pair<std::string, int> key{std::string(font.name), size};
    if (auto it = open_.find(key); it != open_.end()) return it->second;
    auto fileIt = files_.find(font.name);
    if (fileIt == files_.end()) fileIt = files_.emplace(std::string(font.name), findFontFile(font.name)).first;
    Opened opened;
    if (const std::optional<FontFile>& file = fileIt->second) {
        // TTF sizes are points at 72 DPI, so the pixel size goes in as is.
        opened.font = file->bytes ? TTF_OpenFontIndexRW(SDL_RWFromConstMem(file->bytes->data(),
                                                                           static_cast<int>(file->bytes->size())),
                                                        1, size, file->index)
                                  : TTF_OpenFontIndex(file->path.c_str(), size, file->index);
        // The font's own hinting: at 8 pt it puts each accent on rows of its own.
        if (opened.font) TTF_SetFontHinting(opened.font, TTF_HINTING_NORMAL);
        opened.crisp = size <= kCrispPixels && file->family == kPreferredFamily;
    }
    return open_.emplace(key, opened).first->second;
}

TTF_Font* FontCache::get(const Font& font) { return open(font).font; }

SDL_Surface* FontCache::renderWhite(const Font& font, const std::string& text) {
    const Opened& opened = open(font);
    if (!opened.font) return nullptr;
    const SDL_Color white{255, 255, 255, 255};
    // Grey edges at 8 pt smear a two-pixel accent into its neighbours; one
    // bit deep, every pixel stays where the hinting put it.
    return opened.crisp ? TTF_RenderUTF8_Solid(opened.font, text.c_str(), white)
                        : TTF_RenderUTF8_Blended(opened.font, text.c_str(), white);
}

std::string FontCache::openSceneFonts(Scene& scene) {
    for (const ElementRef& e : catalogue(scene)) {
        if (e.kind() != Kind::Label) continue;
        const Label& l = *std::get<Label*>(e.ptr);
        if (get(l.font)) continue;
        std::string why = "no usable font for \"" + std::string(l.font.name) + "\"";
        if (auto file = findFontFile(l.font.name))
            why += " (" + file->path + ": " + TTF_GetError() + ")";
        else
            why += " (" + noFontFound() + ")";
        return why;
    }
    return {};
}

}  // namespace draw
