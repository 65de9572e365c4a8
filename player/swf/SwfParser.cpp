#include "player/swf/SwfParser.h"

#include "player/swf/TagCodes.h"

#include "player/swf/BitReader.h"
#include "player/swf/BitmapDecoder.h"
#include "player/swf/EditTextParser.h"
#include "player/swf/ButtonParser.h"
#include "player/swf/FilterParser.h"
#include "player/swf/FileBytes.h"
#include "player/swf/LzmaDecoder.h"
#include "player/swf/ShapeParser.h"
#include "player/swf/TextParser.h"

#include <algorithm>
#include <memory>
#include <set>

namespace velmora::swf {
namespace {


// Nested sprites deeper than this are treated as damage.
constexpr int kMaxSpriteNesting = 16;

struct TagHeader {
  uint16_t code = 0;
  size_t length = 0;
};

// The clip actions at the end of PlaceObject2/3: a reserved word, the union
// of the events, then records up to one whose events are zero. Event flags
// are 16 bits before version 6 and 32 from it.
std::vector<ClipAction> ReadClipActions(BitReader& in, uint8_t swfVersion) {
  auto readEvents = [&] { return swfVersion >= 6 ? in.U32() : static_cast<uint32_t>(in.U16()); };
  std::vector<ClipAction> out;
  in.U16();
  readEvents();
  while (in.Ok() && in.Remaining() > 0) {
    ClipAction a;
    a.events = readEvents();
    if (!in.Ok() || a.events == 0) break;
    uint32_t size = in.U32();
    if (!in.Ok() || size > in.Remaining()) break;  // a record cut short is left out
    if ((a.events & clipevent::kKeyPress) && size > 0) {
      a.keyCode = in.U8();
      --size;
    }
    a.actions.assign(in.Current(), in.Current() + size);
    in.Skip(size);
    out.push_back(std::move(a));
  }
  return out;
}

PlaceObject ReadPlaceObject(BitReader& in, int version, uint8_t swfVersion) {
  PlaceObject p;
  if (version == 1) {
    p.hasCharacter = p.hasMatrix = true;
    p.characterId = in.U16();
    p.depth = in.U16();
    p.matrix = in.ReadMatrix();
    if (in.Remaining() > 0) {
      p.hasColorTransform = true;
      p.colorTransform = in.ReadColorTransform(false);
    }
    return p;
  }
  uint8_t flags = in.U8();
  uint8_t flags2 = version == 3 ? in.U8() : 0;
  p.depth = in.U16();
  p.move = (flags & placeflag::kMove) != 0;
  p.hasCharacter = (flags & placeflag::kHasCharacter) != 0;
  p.hasMatrix = (flags & placeflag::kHasMatrix) != 0;
  p.hasColorTransform = (flags & placeflag::kHasColorTransform) != 0;
  p.hasRatio = (flags & placeflag::kHasRatio) != 0;
  p.hasName = (flags & placeflag::kHasName) != 0;
  p.hasClipDepth = (flags & placeflag::kHasClipDepth) != 0;
  bool hasClassName = (flags2 & placeflag::kHasClassName) != 0 ||
                      ((flags2 & placeflag::kHasImage) != 0 && p.hasCharacter);
  if (version == 3 && hasClassName) in.String();
  if (p.hasCharacter) p.characterId = in.U16();
  if (p.hasMatrix) p.matrix = in.ReadMatrix();
  if (p.hasColorTransform) p.colorTransform = in.ReadColorTransform(true);
  if (p.hasRatio) p.ratio = in.U16();
  if (p.hasName) p.name = in.String();
  if (p.hasClipDepth) p.clipDepth = in.U16();
  if (version == 3) {
    if (flags2 & placeflag::kHasFilters) {
      p.hasFilters = true;
      p.filters = ReadFilters(in);
    }
    if (flags2 & placeflag::kHasBlendMode) {
      p.hasBlendMode = true;
      p.blendMode = ReadBlendMode(in);
    }
    if (flags2 & placeflag::kHasCacheAsBitmap) {
      p.hasCacheAsBitmap = true;
      p.cacheAsBitmap = in.U8() != 0;
    }
    if (flags2 & placeflag::kHasVisible) {
      p.hasVisible = true;
      p.visible = in.U8() != 0;
    }
    if (flags2 & placeflag::kHasOpaqueBackground) {
      // The colour is drawn opaque whatever alpha the record gives it.
      p.hasOpaqueBackground = true;
      p.opaqueBackground = in.ReadRgba();
      p.opaqueBackground.a = 255;
    }
  }
  if (flags & placeflag::kHasClipActions) p.clipActions = ReadClipActions(in, swfVersion);
  return p;
}

class Parser {
 public:
  Parser(Movie& movie, ParseResult& result) : movie_(movie), result_(result) {}

  // Reads tags into `timeline` until End or the end of `in`.
  void ReadTimeline(BitReader& in, Timeline& timeline, int nesting) {
    Frame frame;
    while (in.Remaining() > 0) {
      TagHeader header;
      if (!ReadTagHeader(in, header)) return;
      BitReader body(in.Current(), header.length);
      in.Skip(header.length);
      if (header.code == tag::kEnd) break;
      if (header.code == tag::kShowFrame) {
        timeline.frames.push_back(std::move(frame));
        frame = Frame{};
        continue;
      }
      ReadTag(header.code, body, timeline, frame, nesting);
    }
    // Tags after the last shown frame still belong to a frame of their own.
    if (!frame.tags.empty() || !frame.scripts.empty() || !frame.initActions.empty())
      timeline.frames.push_back(std::move(frame));
  }

 private:
  bool ReadTagHeader(BitReader& in, TagHeader& header) {
    uint16_t word = in.U16();
    header.code = word >> tag::kCodeShift;
    header.length = word & tag::kLongLength;
    if (header.length == tag::kLongLength) header.length = in.U32();
    if (!in.Ok()) {
      Damaged("the file ends inside a tag header");
      return false;
    }
    if (header.length > in.Remaining()) {
      // A last tag cut short keeps what it holds.
      Damaged("tag " + std::to_string(header.code) + " runs past the end of the file");
      header.length = in.Remaining();
    }
    return true;
  }

  void Damaged(const std::string& what) {
    if (!result_.partial) result_.error = what;
    result_.partial = true;
  }

  template <typename T>
  void DefineAs(uint16_t id, Character::Kind kind, std::shared_ptr<const T> Character::*slot,
                std::shared_ptr<T> value) {
    Character c;
    c.kind = kind;
    c.*slot = std::move(value);
    Define(id, std::move(c));
  }

  void Define(uint16_t id, Character character) {
    // The first definition of an id wins, as later ones would confuse frames
    // already placed.
    movie_.dictionary.emplace(id, std::move(character));
  }

  void ReadTag(uint16_t code, BitReader& body, Timeline& timeline, Frame& frame, int nesting) {
    switch (code) {
      case tag::kSetBackgroundColor:
        // The first colour set is the stage's for good: a movie that sets
        // it again later does not repaint the stage.
        if (nesting == 0 && !movie_.hasBackground) {
          movie_.background = body.ReadRgb();
          movie_.hasBackground = body.Ok();
        }
        break;
      case tag::kDefineShape: ReadShapeTag(body, 1); break;
      case tag::kDefineShape2: ReadShapeTag(body, 2); break;
      case tag::kDefineShape3: ReadShapeTag(body, 3); break;
      case tag::kDefineShape4: ReadShapeTag(body, 4); break;
      case tag::kDefineMorphShape: ReadMorphTag(body, 1); break;
      case tag::kDefineMorphShape2: ReadMorphTag(body, 2); break;
      case tag::kDefineFont: ReadFontTag(body, 1); break;
      case tag::kDefineFont2: ReadFontTag(body, 2); break;
      case tag::kDefineFont3: ReadFontTag(body, 3); break;
      case tag::kDefineFontInfo: ReadFontInfoTag(body, 1); break;
      case tag::kDefineFontInfo2: ReadFontInfoTag(body, 2); break;
      case tag::kDefineEditText: ReadEditTextTag(body); break;
      case tag::kDefineText: ReadTextTag(body, 1); break;
      case tag::kDefineText2: ReadTextTag(body, 2); break;
      case tag::kJpegTables:
        jpegTables_.assign(body.Current(), body.Current() + body.Remaining());
        break;
      case tag::kDefineBits: ReadJpegTag(body, 1); break;
      case tag::kDefineBitsJpeg2: ReadJpegTag(body, 2); break;
      case tag::kDefineBitsJpeg3: ReadJpegTag(body, 3); break;
      case tag::kDefineBitsJpeg4: ReadJpegTag(body, 4); break;
      case tag::kDefineBitsLossless: ReadLosslessTag(body, false); break;
      case tag::kDefineBitsLossless2: ReadLosslessTag(body, true); break;
      case tag::kPlaceObject:
      case tag::kPlaceObject2:
      case tag::kPlaceObject3: {
        int version = code == tag::kPlaceObject ? 1 : code == tag::kPlaceObject2 ? 2 : 3;
        ControlTag tag;
        tag.place = ReadPlaceObject(body, version, movie_.version);
        // A place whose optional fields are cut still moves or places the
        // object with what was read.
        if (body.Ok() || tag.place.hasCharacter || tag.place.move) frame.tags.push_back(std::move(tag));
        break;
      }
      case tag::kRemoveObject:
      case tag::kRemoveObject2: {
        ControlTag tag;
        tag.kind = ControlTag::Kind::Remove;
        if (code == tag::kRemoveObject) body.U16();
        tag.place.depth = body.U16();
        if (body.Ok()) frame.tags.push_back(tag);
        break;
      }
      case tag::kFrameLabel: {
        std::string label = body.String();
        if (!label.empty()) timeline.labels.emplace(label, static_cast<uint32_t>(timeline.frames.size()));
        break;
      }
      case tag::kDoAction:
        // The engine reads the records; here they are only kept.
        frame.scripts.emplace_back(body.Current(), body.Current() + body.Remaining());
        break;
      case tag::kDoInitAction: {
        InitAction init;
        init.spriteId = body.U16();
        if (!body.Ok() || nesting != 0) break;  // only the movie's own timeline runs them
        init.actions.assign(body.Current(), body.Current() + body.Remaining());
        frame.initActions.push_back(std::move(init));
        break;
      }
      case tag::kExportAssets: ReadExports(body); break;
      case tag::kDefineButton: ReadButtonTag(body, 1); break;
      case tag::kDefineButton2: ReadButtonTag(body, 2); break;
      case tag::kDefineButtonCxform: ReadButtonCxformTag(body); break;
      case tag::kDefineSprite:
        if (nesting == 0) ReadSprite(body, nesting + 1);
        break;
      default:
        break;  // every other tag is skipped by its length
    }
  }

  void ReadExports(BitReader& body) {
    uint16_t count = body.U16();
    for (uint16_t i = 0; i < count && body.Ok(); ++i) {
      uint16_t id = body.U16();
      std::string name = body.String();
      if (body.Ok() && !name.empty()) movie_.exports.emplace(std::move(name), id);
    }
  }

  void ReadShapeTag(BitReader& body, int version) {
    uint16_t id = body.U16();
    auto shape = std::make_shared<Shape>();
    if (!ReadShape(body, version, *shape) || !body.Ok()) Damaged("shape " + std::to_string(id) + " is damaged");
    DefineAs(id, Character::Kind::Shape, &Character::shape, std::move(shape));
  }

  void ReadMorphTag(BitReader& body, int version) {
    uint16_t id = body.U16();
    auto morph = std::make_shared<MorphShape>();
    if (!ReadMorphShape(body, version, *morph)) {
      Damaged("morph shape " + std::to_string(id) + " is damaged");
      return;
    }
    DefineAs(id, Character::Kind::MorphShape, &Character::morph, std::move(morph));
  }

  void ReadFontTag(BitReader& body, int version) {
    uint16_t id = body.U16();
    auto font = std::make_shared<Font>();
    if (!body.Ok() || !ReadFont(body, version, *font)) {
      Damaged("font " + std::to_string(id) + " is damaged");
      return;
    }
    // The first definition of an id wins here too, so a font info goes to it.
    fonts_.emplace(id, font);
    DefineAs(id, Character::Kind::Font, &Character::font, std::move(font));
  }

  void ReadFontInfoTag(BitReader& body, int version) {
    uint16_t id = body.U16();
    auto it = fonts_.find(id);
    if (!body.Ok() || it == fonts_.end()) return;  // info for no font is left out
    if (!ReadFontInfo(body, version, *it->second)) Damaged("font info " + std::to_string(id) + " is damaged");
  }

  void ReadEditTextTag(BitReader& body) {
    uint16_t id = body.U16();
    auto text = std::make_shared<EditText>();
    if (!body.Ok() || !ReadEditText(body, *text)) {
      Damaged("text field " + std::to_string(id) + " is damaged");
      // Without its box the field has nothing to draw.
      if (text->bounds.Width() == 0 && text->bounds.Height() == 0) return;
    }
    DefineAs(id, Character::Kind::EditText, &Character::editText, std::move(text));
  }

  void ReadTextTag(BitReader& body, int version) {
    uint16_t id = body.U16();
    auto text = std::make_shared<StaticText>();
    // Damaged text keeps the records read before the damage.
    if (!body.Ok() || !ReadStaticText(body, version, *text)) Damaged("text " + std::to_string(id) + " is damaged");
    DefineAs(id, Character::Kind::Text, &Character::text, std::move(text));
  }

  void ReadJpegTag(BitReader& body, int version) {
    uint16_t id = body.U16();
    size_t alphaOffset = 0;
    if (version >= 3) alphaOffset = body.U32();
    if (version == 4) body.U16();  // deblocking
    if (!body.Ok()) return;
    size_t imageSize = version >= 3 ? std::min(alphaOffset, body.Remaining()) : body.Remaining();
    auto bitmap = std::make_shared<Bitmap>();
    static const std::vector<uint8_t> kNoTables;
    if (!DecodeJpegOrPng(body.Current(), imageSize, version == 1 ? jpegTables_ : kNoTables, *bitmap,
                         pixelsLeft_)) {
      Damaged("picture " + std::to_string(id) + " cannot be decoded, or is beyond the memory for pictures");
      return;
    }
    // The alpha plane belongs to JPEG data only; a PNG or GIF brings its own.
    const bool jpeg = imageSize >= 2 && body.Current()[0] == 0xFF && (body.Current()[1] == 0xD8 || body.Current()[1] == 0xD9);
    if (version >= 3 && jpeg && alphaOffset < body.Remaining())
      ApplyAlphaPlane(body.Current() + alphaOffset, body.Remaining() - alphaOffset, *bitmap);
    DefineBitmap(id, std::move(bitmap));
  }

  void ReadLosslessTag(BitReader& body, bool withAlpha) {
    uint16_t id = body.U16();
    auto bitmap = std::make_shared<Bitmap>();
    if (!body.Ok() || !DecodeLossless(body.Current(), body.Remaining(), withAlpha, *bitmap, pixelsLeft_)) {
      Damaged("bitmap " + std::to_string(id) + " is damaged, or beyond the memory for pictures");
      return;
    }
    DefineBitmap(id, std::move(bitmap));
  }

  void DefineBitmap(uint16_t id, std::shared_ptr<Bitmap> bitmap) {
    pixelsLeft_ -= static_cast<int64_t>(bitmap->width) * bitmap->height;
    bitmap->opaque = std::all_of(bitmap->pixels.begin(), bitmap->pixels.end(), [](uint32_t p) { return p >= 0xFF000000u; });
    DefineAs(id, Character::Kind::Bitmap, &Character::bitmap, std::move(bitmap));
  }

  void ReadButtonTag(BitReader& body, int version) {
    uint16_t id = body.U16();
    if (!body.Ok()) return;
    auto button = std::make_shared<Button>();
    // A damaged button keeps the records read before the damage.
    if (!ReadButton(body, version, *button)) Damaged("button " + std::to_string(id) + " is damaged");
    if (version == 1 && !movie_.Find(id)) plainButtons_.insert(id);
    DefineAs(id, Character::Kind::Button, &Character::button, std::move(button));
  }

  void ReadButtonCxformTag(BitReader& body) {
    // Only DefineButton's records take it: DefineButton2's carry their own.
    uint16_t id = body.U16();
    const ColorTransform cx = body.ReadColorTransform(false);
    auto it = movie_.dictionary.find(id);
    if (!body.Ok() || !plainButtons_.count(id) || it == movie_.dictionary.end() || !it->second.button) return;
    auto button = std::make_shared<Button>(*it->second.button);
    for (ButtonRecord& record : button->records) record.colorTransform = cx;
    it->second.button = std::move(button);
  }

  void ReadSprite(BitReader& body, int nesting) {
    uint16_t id = body.U16();
    body.U16();  // frame count: the frames are counted from the tags
    if (!body.Ok() || nesting > kMaxSpriteNesting) return;
    auto sprite = std::make_shared<Timeline>();
    BitReader tags(body.Current(), body.Remaining());
    ReadTimeline(tags, *sprite, nesting);
    DefineAs(id, Character::Kind::Sprite, &Character::sprite, std::move(sprite));
  }

  Movie& movie_;
  ParseResult& result_;
  std::vector<uint8_t> jpegTables_;
  std::map<uint16_t, std::shared_ptr<Font>> fonts_;  // the fonts read, for their font infos
  std::set<uint16_t> plainButtons_;  // defined by DefineButton, which DefineButtonCxform tints
  int64_t pixelsLeft_ = kMaxMoviePixels;  // what the movie's pictures may still take
};

}  // namespace

bool Decompress(const uint8_t* data, size_t size, std::vector<uint8_t>& out, std::string& error) {
  if (size < 8) {
    error = "the file is too short for a movie header";
    return false;
  }
  const char kind = static_cast<char>(data[0]);
  if ((kind != 'F' && kind != 'C' && kind != 'Z') || data[1] != 'W' || data[2] != 'S') {
    error = "the file is not a movie (no FWS, CWS or ZWS signature)";
    return false;
  }
  size_t declared = data[4] | (data[5] << 8) | (data[6] << 16) | (static_cast<size_t>(data[7]) << 24);
  if (declared > kMaxMovieBytes) {
    error = "the movie declares more than 256 MiB";
    return false;
  }
  out.assign(data, data + 8);
  out[0] = 'F';
  if (kind == 'F') {
    out.insert(out.end(), data + 8, data + size);
    return true;
  }
  std::vector<uint8_t> body;
  size_t limit = declared > 8 ? declared - 8 : 0;
  if (kind == 'C') {
    bool complete = Inflate(data + 8, size - 8, limit, body);
    if (body.empty()) {
      error = "the compressed movie data is damaged";
      return false;
    }
    // What could be inflated is kept; the caller reports the movie partial.
    if (!complete) error = "the compressed movie data ends early or is damaged";
  } else {
    std::string lzmaError;
    bool complete = DecodeZwsBody(data, size, body, &lzmaError);
    if (body.empty()) {
      error = "the LZMA movie data is damaged: " + lzmaError;
      return false;
    }
    if (!complete) error = "the LZMA movie data ends early or is damaged: " + lzmaError;
  }
  out.insert(out.end(), body.begin(), body.end());
  return true;
}

ParseResult ParseMovie(const uint8_t* data, size_t size) {
  ParseResult result;
  std::vector<uint8_t> file;
  if (!Decompress(data, size, file, result.error)) return result;
  result.partial = !result.error.empty();
  BitReader in(file.data(), file.size());
  in.Skip(3);
  Movie& movie = result.movie;
  movie.version = in.U8();
  size_t declared = in.U32();
  movie.stage = in.ReadRect();
  movie.frameRate = in.U16() / 256.0;
  movie.frameCount = in.U16();
  if (!in.Ok()) {
    result.error = "the movie header is damaged";
    return result;
  }
  result.ok = true;
  if (file.size() < declared && !result.partial) {
    result.partial = true;
    result.error = "the file is shorter than its header says";
  }
  BitReader tags(in.Current(), in.Remaining());
  Parser(movie, result).ReadTimeline(tags, movie.timeline, 0);
  return result;
}

ParseResult ParseMovieFile(const std::string& path) {
  ParseResult result;
  std::vector<uint8_t> bytes;
  switch (ReadFileBytes(path, kMaxMovieBytes, bytes)) {
    case FileRead::CannotOpen: result.error = "cannot open " + path; return result;
    case FileRead::TooLarge: result.error = "the movie file is larger than 256 MiB"; return result;
    case FileRead::Ok: break;
  }
  return ParseMovie(bytes.data(), bytes.size());
}

}  // namespace velmora::swf
