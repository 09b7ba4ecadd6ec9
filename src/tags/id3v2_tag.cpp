#include "id3v2_tag.h"

#include "platform/latin1.h"

namespace tolvane::tags {

namespace {

constexpr size_t kHeaderSize = 10;
constexpr uint8_t kFooterFlag = 0x10;
constexpr char kUtf16 = 1;
constexpr char kLatin1 = 0;
constexpr std::string_view kByteOrderMark = "\xFF\xFE";
constexpr char kFrontCover = 3;

void PutBigEndian(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out += static_cast<char>((value >> shift) & 0xFF);
}

// Seven bits a byte, as the tag header counts its size.
void PutSyncSafe(std::string& out, uint32_t value) {
  for (int shift = 21; shift >= 0; shift -= 7)
    out += static_cast<char>((value >> shift) & 0x7F);
}

void PutFrame(std::string& out, std::string_view id, const std::string& body) {
  out += id;
  PutBigEndian(out, static_cast<uint32_t>(body.size()));
  out += std::string(2, '\0');  // no flags
}

std::string Utf16(const std::string& utf8) {
  return std::string(kByteOrderMark) + platform::ToUtf16Le(utf8);
}

void PutText(std::string& out, std::string_view id, const std::string& text) {
  if (text.empty())
    return;
  const std::string body = kUtf16 + Utf16(text);
  PutFrame(out, id, body);
  out += body;
}

// "3", or "3/12" when the total is known.
std::string Position(int number, int total) {
  if (number <= 0)
    return "";
  return std::to_string(number) + (total > 0 ? "/" + std::to_string(total) : "");
}

}  // namespace

std::string BuildId3v2(const SongTag& tag) {
  std::string frames;
  PutText(frames, "TIT2", tag.title);
  PutText(frames, "TPE1", tag.artist);
  PutText(frames, "TALB", tag.album);
  PutText(frames, "TPE2", tag.album_artist);
  PutText(frames, "TYER", tag.year);
  PutText(frames, "TRCK", Position(tag.track, tag.track_total));
  PutText(frames, "TPOS", Position(tag.disc, tag.disc_total));
  PutText(frames, "TCON", tag.genre);
  if (!tag.comment.empty()) {
    // The language, an empty description, then the text.
    const std::string body =
        kUtf16 + std::string("eng") + Utf16("") + std::string(2, '\0') + Utf16(tag.comment);
    PutFrame(frames, "COMM", body);
    frames += body;
  }
  for (const auto& [key, value] : tag.replay_gain) {
    // A description, then the text: what players read ReplayGain from.
    const std::string body = kUtf16 + Utf16(key) + std::string(2, '\0') + Utf16(value);
    PutFrame(frames, "TXXX", body);
    frames += body;
  }
  if (tag.cover) {
    const std::string body =
        kLatin1 + tag.cover->mime + '\0' + kFrontCover + '\0' + tag.cover->data;
    PutFrame(frames, "APIC", body);
    frames += body;
  }
  std::string out = "ID3";
  out += '\x03';
  out += '\0';  // revision
  out += '\0';  // no flags
  PutSyncSafe(out, static_cast<uint32_t>(frames.size()));
  return out + frames;
}

int64_t Id3v2Length(std::string_view head) {
  if (head.size() < kHeaderSize || head.substr(0, 3) != "ID3")
    return 0;
  int64_t size = 0;
  for (size_t i = 6; i < kHeaderSize; ++i) {
    const auto byte = static_cast<uint8_t>(head[i]);
    if (byte >= 0x80)
      return 0;  // no tag header: its size is seven bits a byte
    size = (size << 7) | byte;
  }
  const bool footer = (static_cast<uint8_t>(head[5]) & kFooterFlag) != 0;
  return static_cast<int64_t>(kHeaderSize) + size + (footer ? kHeaderSize : 0);
}

int64_t Id3v2Length(platform::File& file) {
  std::string head(kHeaderSize, '\0');
  head.resize(static_cast<size_t>(file.ReadAt(0, head.data(), kHeaderSize)));
  return Id3v2Length(head);
}

}  // namespace tolvane::tags
