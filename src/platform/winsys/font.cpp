#include "platform/winsys/font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "platform/rtl/cp932.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"

namespace corvida {

enum class TFaceEncoding { kUnicode, kRawSingle, kJis };

struct TFaceChoice {
  std::string path;
  int index = 0;
  TFaceEncoding encoding = TFaceEncoding::kUnicode;
  bool synthBold = false;
  bool synthItalic = false;
};

// One opened face at one size.
class TFontFace {
 public:
  TFontFace(FT_Library library, const TFaceChoice& choice, int pixelHeight, bool cellHeight)
      : choice_(choice) {
    if (FT_New_Face(library, choice.path.c_str(), choice.index, &face_) != 0)
      throw EFontError(Format("cannot open font file \"%s\"", {choice.path}));
    bitmap_ = !FT_IS_SCALABLE(face_);
    if (choice.encoding != TFaceEncoding::kUnicode && face_->num_charmaps > 0)
      FT_Set_Charmap(face_, face_->charmaps[0]);
    if (bitmap_) {
      int best = 0;
      for (int i = 1; i < face_->num_fixed_sizes; ++i)
        if (std::abs(face_->available_sizes[i].height - pixelHeight) <
            std::abs(face_->available_sizes[best].height - pixelHeight))
          best = i;
      FT_Select_Size(face_, best);
      ppem_ = face_->available_sizes[best].height;
      ascent_ = static_cast<int>(face_->size->metrics.ascender >> 6);
      descent_ = static_cast<int>(-face_->size->metrics.descender >> 6);
      return;
    }
    int upem = face_->units_per_EM;
    int winAscent = face_->ascender;
    int winDescent = -face_->descender;
    int lineGap = face_->height - (face_->ascender - face_->descender);
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2)); os2 && os2->version != 0xFFFF) {
      winAscent = os2->usWinAscent;
      winDescent = os2->usWinDescent;
    }
    int hheaTotal = face_->ascender - face_->descender + std::max(0, lineGap);
    ppem_ = cellHeight ? std::max(1, (pixelHeight * upem + (winAscent + winDescent) / 2) / (winAscent + winDescent))
                       : pixelHeight;
    FT_Set_Pixel_Sizes(face_, 0, ppem_);
    ascent_ = (winAscent * ppem_ + upem / 2) / upem;
    descent_ = (winDescent * ppem_ + upem / 2) / upem;
    externalLeading_ = std::max(0, ((hheaTotal - winAscent - winDescent) * ppem_ + upem / 2) / upem);
  }
  ~TFontFace() { FT_Done_Face(face_); }

  const std::string& Path() const { return choice_.path; }
  int Ppem() const { return ppem_; }
  int Ascent() const { return ascent_; }
  int Descent() const { return descent_; }
  int ExternalLeading() const { return externalLeading_; }
  int MaxAdvance() const { return static_cast<int>(face_->size->metrics.max_advance >> 6); }
  bool FixedPitch() const { return bitmap_ || FT_IS_FIXED_WIDTH(face_); }

  FT_UInt IndexOf(uint16_t code) const {
    switch (choice_.encoding) {
      case TFaceEncoding::kUnicode: {
        if (code < 0x20) return 0;
        char32_t u = Cp932CharToUnicode(code);
        return u ? FT_Get_Char_Index(face_, u) : 0;
      }
      case TFaceEncoding::kRawSingle:
        return code < 0x100 ? FT_Get_Char_Index(face_, code) : 0;
      case TFaceEncoding::kJis: {
        uint16_t jis = SjisToJis(code);
        return jis ? FT_Get_Char_Index(face_, jis) : 0;
      }
    }
    return 0;
  }

  // Renders code with its top placed against a cell of the given ascent.
  bool Render(uint16_t code, int ascent, TGlyph& g) const {
    FT_UInt index = IndexOf(code);
    if (index == 0) return false;
    FT_Int32 flags = FT_LOAD_DEFAULT;
    if (!bitmap_ && (choice_.synthItalic || choice_.synthBold)) flags |= FT_LOAD_NO_BITMAP;
    if (FT_Load_Glyph(face_, index, flags) != 0) return false;
    FT_GlyphSlot slot = face_->glyph;
    int extra = 0;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      if (choice_.synthBold) {
        FT_Outline_Embolden(&slot->outline, std::max<FT_Pos>(64, ppem_ * 64 / 16));
        extra = 1;
      }
      if (choice_.synthItalic) {
        FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
        FT_Outline_Transform(&slot->outline, &shear);
      }
    }
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return false;
    const FT_Bitmap& b = slot->bitmap;
    g.left = slot->bitmap_left;
    g.top = ascent - slot->bitmap_top;
    g.width = static_cast<int>(b.width);
    g.height = static_cast<int>(b.rows);
    g.advance = static_cast<int>((slot->advance.x + 32) >> 6) + extra;
    g.binary = b.pixel_mode == FT_PIXEL_MODE_MONO;
    g.coverage.assign(static_cast<size_t>(g.width) * g.height, 0);
    for (int y = 0; y < g.height; ++y) {
      const unsigned char* row = b.buffer + static_cast<ptrdiff_t>(y) * b.pitch;
      for (int x = 0; x < g.width; ++x) {
        uint8_t v = b.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x >> 3] >> (7 - (x & 7))) & 1) * 255 : row[x];
        g.coverage[static_cast<size_t>(y) * g.width + x] = v;
      }
    }
    if (slot->format == FT_GLYPH_FORMAT_BITMAP) {
      if (choice_.synthBold) Embolden(g);
      if (choice_.synthItalic) Slant(g, ascent);
    }
    if (g.binary && g.width <= 32) {
      g.rowBits.assign(static_cast<size_t>(g.height), 0);
      for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x)
          if (g.coverage[static_cast<size_t>(y) * g.width + x]) g.rowBits[static_cast<size_t>(y)] |= uint32_t{1} << x;
    }
    return true;
  }

 private:
  // Bitmap bold: every ink pixel also inks its right neighbour.
  static void Embolden(TGlyph& g) {
    std::vector<uint8_t> out(static_cast<size_t>(g.width + 1) * g.height, 0);
    for (int y = 0; y < g.height; ++y)
      for (int x = 0; x <= g.width; ++x) {
        uint8_t a = x < g.width ? g.coverage[static_cast<size_t>(y) * g.width + x] : 0;
        uint8_t b = x > 0 ? g.coverage[static_cast<size_t>(y) * g.width + x - 1] : 0;
        out[static_cast<size_t>(y) * (g.width + 1) + x] = std::max(a, b);
      }
    g.coverage.swap(out);
    ++g.width;
    ++g.advance;
  }
  // Bitmap italic: rows above the baseline lean right, one pixel per four rows.
  static void Slant(TGlyph& g, int ascent) {
    int lean = std::max(0, ascent - g.top) / 4 + 1;
    std::vector<uint8_t> out(static_cast<size_t>(g.width + lean) * g.height, 0);
    for (int y = 0; y < g.height; ++y) {
      int shift = std::clamp((ascent - (g.top + y)) / 4, 0, lean);
      for (int x = 0; x < g.width; ++x)
        out[static_cast<size_t>(y) * (g.width + lean) + x + shift] = g.coverage[static_cast<size_t>(y) * g.width + x];
    }
    g.coverage.swap(out);
    g.width += lean;
  }

  TFaceChoice choice_;
  FT_Face face_ = nullptr;
  bool bitmap_ = false;
  int ppem_ = 0;
  int ascent_ = 0;
  int descent_ = 0;
  int externalLeading_ = 0;
};

namespace {

FT_Library library = nullptr;

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

enum class TFamily { kShinonome, kPGothic, kGothic, kOther };

TFamily Classify(const std::string& utf8) {
  std::string n = Lower(utf8);
  if (n == "fixedsys" || n == "shinonome gothic" || n == "shinonome" || n == "\xe6\x9d\xb1\xe9\x9b\xb2\xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf")
    return TFamily::kShinonome;
  // "ＭＳ Ｐゴシック" and its Latin name
  if (n == "\xef\xbc\xad\xef\xbc\xb3 \xef\xbc\xb0\xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf" || n == "ms pgothic")
    return TFamily::kPGothic;
  // "ＭＳ ゴシック"
  if (n == "\xef\xbc\xad\xef\xbc\xb3 \xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf" || n == "ms gothic")
    return TFamily::kGothic;
  return TFamily::kOther;
}

// Asks fontconfig for pattern; accepts only a scalable face that covers
// Japanese and, when family is given, carries that family name.
bool MatchFontconfig(const std::string& pattern, const std::string& family, uint8_t style, TFaceChoice& out) {
  if (!FcInit()) return false;
  FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
  if (!pat) return false;
  if (style & kStyleBold) FcPatternAddInteger(pat, FC_WEIGHT, FC_WEIGHT_BOLD);
  if (style & kStyleItalic) FcPatternAddInteger(pat, FC_SLANT, FC_SLANT_ITALIC);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pat, &result);
  FcPatternDestroy(pat);
  if (!match) return false;
  bool ok = false;
  FcChar8* file = nullptr;
  FcBool scalable = FcFalse;
  FcCharSet* charset = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
      FcPatternGetBool(match, FC_SCALABLE, 0, &scalable) == FcResultMatch && scalable &&
      FcPatternGetCharSet(match, FC_CHARSET, 0, &charset) == FcResultMatch && FcCharSetHasChar(charset, 0x3042) &&
      FcCharSetHasChar(charset, 0x4E00)) {
    ok = family.empty();
    FcChar8* name = nullptr;
    for (int i = 0; !ok && FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
      ok = Lower(reinterpret_cast<const char*>(name)) == Lower(family);
    if (ok) {
      int index = 0;
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      int weight = FC_WEIGHT_REGULAR;
      int slant = FC_SLANT_ROMAN;
      FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
      FcPatternGetInteger(match, FC_SLANT, 0, &slant);
      out.path = reinterpret_cast<const char*>(file);
      out.index = index;
      out.encoding = TFaceEncoding::kUnicode;
      // fontconfig marks a face it would embolden or slant itself.
      FcBool embolden = FcFalse;
      FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);
      FcMatrix* matrix = nullptr;
      bool slanted = FcPatternGetMatrix(match, FC_MATRIX, 0, &matrix) == FcResultMatch;
      out.synthBold = (style & kStyleBold) && (embolden || weight < FC_WEIGHT_DEMIBOLD);
      out.synthItalic = (style & kStyleItalic) && (slanted || slant == FC_SLANT_ROMAN);
    }
  }
  FcPatternDestroy(match);
  return ok;
}

std::string FindFile(const std::vector<std::string>& dirs, const std::string& name) {
  for (const std::string& dir : dirs) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::path(dir) / name;
    if (std::filesystem::is_regular_file(p, ec)) return p.string();
  }
  return {};
}

// The bitmap pair of the editor's face: half-width cells from a JIS X 0201
// face, full-width ones from a JIS X 0208 face of the same pixel size.
bool FindShinonome(const std::vector<std::string>& dirs, int pixels, uint8_t style, TFaceChoice& single,
                   TFaceChoice& dbcs) {
  struct Size {
    int pixels;
    const char* single;
    const char* dbcs;
  };
  static const Size sizes[] = {{12, "shnm6x12r", "shnmk12"}, {14, "shnm7x14r", "shnmk14"}, {16, "shnm8x16r", "shnmk16"}};
  const Size* best = &sizes[0];
  for (const Size& s : sizes)
    if (std::abs(s.pixels - pixels) < std::abs(best->pixels - pixels)) best = &s;
  bool bold = style & kStyleBold;
  bool italic = style & kStyleItalic;
  std::string suffix = std::string(bold ? "b" : "") + (italic ? "i" : "");
  auto pick = [&](const char* base, TFaceEncoding encoding, TFaceChoice& out) {
    out.encoding = encoding;
    out.path = FindFile(dirs, base + suffix + ".pcf.gz");
    if (!out.path.empty()) return true;
    out.path = FindFile(dirs, std::string(base) + ".pcf.gz");
    out.synthBold = bold;
    out.synthItalic = italic;
    return !out.path.empty();
  };
  return pick(best->single, TFaceEncoding::kRawSingle, single) && pick(best->dbcs, TFaceEncoding::kJis, dbcs);
}

}  // namespace

TFontHandle::TFontHandle(const TFontDesc& desc, std::unique_ptr<TFontFace> single, std::unique_ptr<TFontFace> dbcs)
    : desc_(desc), single_(std::move(single)), double_(std::move(dbcs)) {
  const TFontFace& d = double_ ? *double_ : *single_;
  TTextMetric& m = metrics_;
  m.tmAscent = std::max(single_->Ascent(), d.Ascent());
  m.tmDescent = std::max(single_->Descent(), d.Descent());
  m.tmHeight = m.tmAscent + m.tmDescent;
  m.tmInternalLeading = std::max(0, m.tmHeight - single_->Ppem());
  m.tmExternalLeading = single_->ExternalLeading();
  m.tmAveCharWidth = Glyph('x').advance;
  m.tmMaxCharWidth = std::max(single_->MaxAdvance(), d.MaxAdvance());
  m.tmWeight = (desc.style & kStyleBold) ? 700 : 400;
  m.tmItalic = (desc.style & kStyleItalic) ? 1 : 0;
  m.tmUnderlined = (desc.style & kStyleUnderline) ? 1 : 0;
  m.tmStruckOut = (desc.style & kStyleStrikeOut) ? 1 : 0;
  // As Windows reports it: the bit is set for a variable-pitch face.
  m.tmPitchAndFamily = single_->FixedPitch() ? 0 : 1;
  m.tmCharSet = SHIFTJIS_CHARSET;
}

TFontHandle::~TFontHandle() = default;

const std::string& TFontHandle::SingleByteFile() const { return single_->Path(); }
const std::string& TFontHandle::DoubleByteFile() const { return (double_ ? double_ : single_)->Path(); }

TGlyph TFontHandle::Render(uint16_t code) const {
  TGlyph g;
  bool dbcs = code > 0xFF;
  const TFontFace& face = dbcs && double_ ? *double_ : *single_;
  int ascent = metrics_.tmAscent;
  if (!face.Render(code, ascent, g)) {
    g = TGlyph{};
    int cell = metrics_.tmAveCharWidth ? metrics_.tmAveCharWidth : face.Ppem() / 2;
    g.advance = dbcs ? 2 * cell : cell;
  }
  return g;
}

const TGlyph& TFontHandle::Glyph(uint16_t code) const {
  auto& page = pages_[code >> 8];
  if (!page) page = std::make_unique<std::array<std::unique_ptr<TGlyph>, 256>>();
  auto& slot = (*page)[code & 0xFF];
  if (!slot) slot = std::make_unique<TGlyph>(Render(code));
  return *slot;
}

int TFontHandle::TextWidth(std::string_view text) const {
  int w = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(c) && i + 1 < text.size()) {
      w += CharWidth(static_cast<uint16_t>(c << 8 | static_cast<unsigned char>(text[++i])));
    } else {
      w += CharWidth(c);
    }
  }
  return w;
}

TFontCache::TFontCache() {
  if (const char* dir = std::getenv("CORVIDA_FONT_DIR")) dirs_.push_back(dir);
  dirs_.push_back("/usr/share/fonts/X11/misc");
  dirs_.push_back("/usr/local/share/fonts");
  dirs_.push_back("/usr/share/fonts/misc");
}

TFontCache::~TFontCache() {
  handles_.clear();
  if (library) FT_Done_FreeType(library);
  library = nullptr;
  FcFini();
}

void TFontCache::AddFontDir(const std::string& dir) { dirs_.insert(dirs_.begin(), dir); }

const TFontHandle* TFontCache::Get(const TFontDesc& desc) {
  for (const auto& h : handles_)
    if (h->Desc() == desc) return h.get();
  handles_.push_back(Create(desc));
  return handles_.back().get();
}

std::unique_ptr<TFontHandle> TFontCache::Create(const TFontDesc& desc) {
  if (!library && FT_Init_FreeType(&library) != 0) throw EFontError("cannot start the font renderer");
  bool cellHeight = desc.height > 0;
  int pixels = std::max(1, std::abs(desc.height == 0 ? 12 : desc.height));
  uint8_t faceStyle = desc.style & (kStyleBold | kStyleItalic);
  std::string utf8 = Cp932ToUtf8(desc.name);
  TFamily family = Classify(utf8);

  TFaceChoice single;
  TFaceChoice dbcs;
  if (family == TFamily::kShinonome && FindShinonome(dirs_, pixels, faceStyle, single, dbcs)) {
    return std::unique_ptr<TFontHandle>(
        new TFontHandle(desc, std::make_unique<TFontFace>(library, single, pixels, cellHeight),
                        std::make_unique<TFontFace>(library, dbcs, pixels, cellHeight)));
  }
  bool found = false;
  if (family == TFamily::kPGothic) found = MatchFontconfig("IPAPGothic", "IPAPGothic", faceStyle, single);
  if (family == TFamily::kGothic) found = MatchFontconfig("IPAGothic", "IPAGothic", faceStyle, single);
  if (family == TFamily::kOther && !utf8.empty()) found = MatchFontconfig(utf8, utf8, faceStyle, single);
  bool fixed = family == TFamily::kShinonome || family == TFamily::kGothic;
  if (!found) found = MatchFontconfig(fixed ? "monospace:lang=ja" : "sans-serif:lang=ja", "", faceStyle, single);
  if (!found) found = MatchFontconfig(":lang=ja", "", faceStyle, single);
  if (!found)
    throw EFontError(Format("no usable Japanese font face for \"%s\"; install a Japanese font", {desc.name}));
  return std::unique_ptr<TFontHandle>(
      new TFontHandle(desc, std::make_unique<TFontFace>(library, single, pixels, cellHeight), nullptr));
}

TFontCache& FontCache() {
  static TFontCache cache;
  return cache;
}

}  // namespace corvida
