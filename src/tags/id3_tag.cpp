#include "id3_tag.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "genres.h"
#include "id3v2_tag.h"
#include "platform/latin1.h"

namespace tolvane::tags {

namespace {

constexpr int64_t kCopyChunk = 1 << 20;

// The text in ISO-8859-1, cut to the field and padded with zero bytes.
void PutText(std::array<uint8_t, kTagSize>& record, size_t offset, size_t size,
             const std::string& text) {
  const std::string latin1 = platform::ToLatin1(text);
  std::memcpy(record.data() + offset, latin1.data(), std::min(size, latin1.size()));
}

// Where the MP3's audio lies between its tags.
struct AudioSpan {
  int64_t begin = 0;
  int64_t end = 0;
};

AudioSpan FindAudio(platform::File& file, int64_t size) {
  AudioSpan span{Id3v2Length(file), size};
  if (span.begin > size)
    span.begin = 0;  // a header that claims more than the file holds is no tag of ours
  char mark[3] = {};
  if (size - span.begin >= kTagSize && file.ReadAt(size - kTagSize, mark, 3) == 3 &&
      std::memcmp(mark, "TAG", 3) == 0) {
    span.end = size - kTagSize;
  }
  return span;
}

bool CopyAudio(platform::File& from, AudioSpan audio, platform::File& to, int64_t at) {
  std::vector<char> buffer(static_cast<size_t>(kCopyChunk));
  for (int64_t offset = audio.begin; offset < audio.end;) {
    const int64_t count =
        from.ReadAt(offset, buffer.data(), std::min(kCopyChunk, audio.end - offset));
    if (count <= 0 || !to.WriteAt(at, buffer.data(), count))
      return false;
    offset += count;
    at += count;
  }
  return true;
}

bool RewriteWithTags(platform::FileSystem& files, const std::string& path, platform::File& mp3,
                     AudioSpan audio, const std::optional<SongTag>& tag) {
  // Hidden beside it: a crash between the write and the rename leaves no second MP3 in view.
  const size_t name = path.rfind('/') + 1;  // 0 without a folder part
  const std::string fresh = path.substr(0, name) + "." + path.substr(name) + ".retag";
  const std::string head = tag && NeedsId3v2(*tag) ? BuildId3v2(*tag) : "";
  bool written = false;
  if (const auto out = files.Open(fresh, platform::OpenMode::CreateTruncate)) {
    const auto length = static_cast<int64_t>(head.size());
    const int64_t audio_end = length + audio.end - audio.begin;
    written = out->WriteAt(0, head.data(), length) && CopyAudio(mp3, audio, *out, length);
    if (written && tag) {
      const std::array<uint8_t, kTagSize> record = BuildTag(*tag);
      written = out->WriteAt(audio_end, record.data(), kTagSize);
    }
    written = written && out->Sync();
  }
  if (written && files.Replace(fresh, path))
    return true;
  // The failure is the caller's to report; the copy that did not replace the MP3 is ours.
  (void)files.Delete(fresh);
  return false;
}

}  // namespace

std::array<uint8_t, kTagSize> BuildTag(const SongTag& tag) {
  std::array<uint8_t, kTagSize> record{};
  std::memcpy(record.data(), "TAG", 3);
  using queue::kTagTextWidth;
  using queue::kTagYearWidth;
  size_t offset = 3;
  for (const std::string* text : {&tag.title, &tag.artist, &tag.album}) {
    PutText(record, offset, kTagTextWidth, *text);
    offset += kTagTextWidth;
  }
  PutText(record, offset, kTagYearWidth, tag.year);
  PutText(record, offset + kTagYearWidth, kTagTextWidth, tag.comment);
  record[127] = static_cast<uint8_t>(GenreNumberNamed(tag.genre));
  return record;
}

std::array<uint8_t, kTagSize> BuildTag(const queue::TFileData& entry) {
  return BuildTag(SongTagOf(entry));
}

bool PutTags(platform::FileSystem& files, const std::string& path,
             const std::optional<SongTag>& tag) {
  const auto file = files.Open(path, platform::OpenMode::ReadWrite);
  if (file == nullptr)
    return false;
  const int64_t size = file->Size();
  if (size < 0)
    return false;
  const AudioSpan audio = FindAudio(*file, size);
  if (audio.begin != 0 || (tag && NeedsId3v2(*tag)))
    return RewriteWithTags(files, path, *file, audio, tag);
  // Only the record at the end changes: it is cut off and written anew in place.
  if (audio.end != size && !file->Truncate(audio.end))
    return false;
  if (!tag)
    return true;
  const std::array<uint8_t, kTagSize> record = BuildTag(*tag);
  return file->WriteAt(audio.end, record.data(), kTagSize);
}

bool WriteTag(platform::FileSystem& files, const queue::TFileData* entry) {
  return entry != nullptr && PutTags(files, entry->OutputPath, SongTagOf(*entry));
}

void StripTag(platform::FileSystem& files, const queue::TFileData* entry) {
  if (entry != nullptr)
    PutTags(files, entry->OutputPath, std::nullopt);
}

}  // namespace tolvane::tags
