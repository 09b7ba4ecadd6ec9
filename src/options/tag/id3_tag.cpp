#include "id3_tag.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "genres.h"
#include "platform/latin1.h"

namespace tolvane::options {

namespace {

// The text in ISO-8859-1, cut to the field and padded with zero bytes.
void PutText(std::array<uint8_t, kTagSize>& record, size_t offset, size_t size,
             const std::string& text) {
  const std::string latin1 = platform::ToLatin1(text);
  std::memcpy(record.data() + offset, latin1.data(), std::min(size, latin1.size()));
}

}  // namespace

std::array<uint8_t, kTagSize> BuildTag(const queue::TFileData& entry) {
  std::array<uint8_t, kTagSize> record{};
  std::memcpy(record.data(), "TAG", 3);
  using queue::kTagTextWidth;
  using queue::kTagYearWidth;
  size_t offset = 3;
  for (const std::string* text : {&entry.TagTitle, &entry.TagArtist, &entry.TagAlbum}) {
    PutText(record, offset, kTagTextWidth, *text);
    offset += kTagTextWidth;
  }
  PutText(record, offset, kTagYearWidth, entry.TagYear);
  PutText(record, offset + kTagYearWidth, kTagTextWidth, entry.TagComment);
  record[127] = static_cast<uint8_t>(GenreNumberOf(entry.TagGenre));
  return record;
}

void StripTag(platform::FileSystem& files, const queue::TFileData* entry) {
  if (entry == nullptr)
    return;
  const auto file = files.Open(entry->OutputPath, platform::OpenMode::ReadWrite);
  if (file == nullptr)
    return;
  const int64_t size = file->Size();
  if (size < kTagSize)
    return;
  char mark[3] = {};
  if (file->ReadAt(size - kTagSize, mark, 3) == 3 && std::memcmp(mark, "TAG", 3) == 0) {
    file->Truncate(size - kTagSize);
  }
}

bool WriteTag(platform::FileSystem& files, const queue::TFileData* entry) {
  if (entry == nullptr)
    return false;
  StripTag(files, entry);
  const auto file = files.Open(entry->OutputPath, platform::OpenMode::ReadWrite);
  if (file == nullptr)
    return false;
  const std::array<uint8_t, kTagSize> record = BuildTag(*entry);
  return file->WriteAt(file->Size(), record.data(), kTagSize);
}

}  // namespace tolvane::options
