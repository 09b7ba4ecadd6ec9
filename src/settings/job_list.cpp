#include "job_list.h"

#include <algorithm>
#include <cstring>

#include "platform/latin1.h"
#include "queue/probe.h"

namespace tolvane::settings {

namespace {

constexpr int32_t kEndMark = -1;

void PutInt(std::string& out, int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i)
    out += static_cast<char>((bits >> (8 * i)) & 0xFF);
}

void PutText(std::string& out, const std::string& text) {
  PutInt(out, static_cast<int32_t>(text.size()));
  out += text;
}

// Reads the file front to back; every read fails once the file has no more bytes for it.
class Reader {
 public:
  Reader(platform::File& file) : file_(file), size_(file.Size()) {}

  bool Int(int32_t& value) {
    uint8_t bytes[4];
    if (!Bytes(bytes, 4))
      return false;
    value = static_cast<int32_t>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                                 (static_cast<uint32_t>(bytes[3]) << 24));
    return true;
  }
  bool Flag(bool& value) {
    uint8_t byte = 0;
    if (!Bytes(&byte, 1))
      return false;
    value = byte != 0;
    return true;
  }
  // A length-prefixed text, cut to `max_length`; a length past the end ends the reading.
  // A tag text: UTF-8 as this program writes it, or ISO-8859-1 from the earlier program; cut to
  // `max_length` characters.
  bool TagText(std::string& text, size_t max_length) {
    int32_t length = 0;
    if (!Int(length) || !Fits(length))
      return false;
    text.assign(static_cast<size_t>(length), '\0');
    if (!Bytes(text.data(), static_cast<size_t>(length)))
      return false;
    text = platform::FirstCharacters(platform::AsUtf8(text), max_length);
    return true;
  }
  // Whether `length` bytes remain: every length is checked before anything is sized by it.
  bool Fits(int32_t length) const { return length >= 0 && length <= size_ - offset_; }
  bool Bytes(void* buffer, size_t count) {
    if (static_cast<int64_t>(count) > size_ - offset_)
      return false;
    if (file_.ReadAt(offset_, buffer, static_cast<int64_t>(count)) != static_cast<int64_t>(count)) {
      return false;
    }
    offset_ += static_cast<int64_t>(count);
    return true;
  }

 private:
  platform::File& file_;
  int64_t size_;
  int64_t offset_ = 0;
};

// A save that failed is reported by the caller; its half-written copy is ours to drop.
void DropTemporary(platform::FileSystem& files, const std::string& temporary) {
  (void)files.Delete(temporary);
}

}  // namespace

std::string JobRecord(const queue::TFileData& e) {
  std::string out;
  PutText(out, e.FileName);
  PutInt(out, e.Priority);
  PutInt(out, e.Bitrate);
  for (bool flag : {e.PrivateFlag, e.CopyrightFlag, e.CopyFlag, e.CRCFlag, e.DeleteFlag}) {
    out += static_cast<char>(flag ? 1 : 0);
  }
  PutInt(out, e.StereoMode);
  out += static_cast<char>(e.HasTag ? 1 : 0);
  if (e.HasTag) {
    // The texts as the entry holds them: UTF-8, each cut to its field's characters.
    using platform::FirstCharacters;
    PutText(out, FirstCharacters(e.TagTitle, queue::kTagTextWidth));
    PutText(out, FirstCharacters(e.TagArtist, queue::kTagTextWidth));
    PutText(out, FirstCharacters(e.TagAlbum, queue::kTagTextWidth));
    PutText(out, FirstCharacters(e.TagYear, queue::kTagYearWidth));
    PutText(out, FirstCharacters(e.TagComment, queue::kTagTextWidth));
    PutInt(out, e.TagGenre);
  }
  return out;
}

bool WriteJobList(platform::FileSystem& files, const std::string& path,
                  const std::vector<const queue::TFileData*>& unfinished) {
  if (unfinished.empty())
    return files.Delete(path) || !files.Exists(path);
  std::string bytes = kJobListMagic;
  for (const queue::TFileData* entry : unfinished)
    bytes += JobRecord(*entry);
  PutInt(bytes, kEndMark);
  // A crash while saving must not cost the list of the last run.
  const std::string temporary = path + ".tmp";
  {
    const auto file = files.Open(temporary, platform::OpenMode::CreateTruncate);
    if (file == nullptr)
      return false;
    if (!file->WriteAt(0, bytes.data(), static_cast<int64_t>(bytes.size())) || !file->Sync()) {
      DropTemporary(files, temporary);
      return false;
    }
  }
  if (!files.Replace(temporary, path)) {
    DropTemporary(files, temporary);
    return false;
  }
  return true;
}

void ReadJobList(platform::FileSystem& files, const std::string& path,
                 const std::function<void(const JobRecordRead&)>& on_record) {
  const auto file = files.Open(path, platform::OpenMode::Read);
  if (file == nullptr)
    return;
  Reader in(*file);
  char magic[7] = {};
  if (!in.Bytes(magic, 7) || std::memcmp(magic, kJobListMagic, 7) != 0)
    return;
  for (;;) {
    JobRecordRead record;
    queue::TFileData& e = record.fields;
    int32_t length = 0;
    if (!in.Int(length) || length == kEndMark)
      return;
    // A negative length, or one past the end, means the file is damaged: stop here.
    if (!in.Fits(length))
      return;
    record.path.assign(static_cast<size_t>(length), '\0');
    if (!in.Bytes(record.path.data(), static_cast<size_t>(length)))
      return;
    if (!in.Int(e.Priority) || !in.Int(e.Bitrate) || !in.Flag(e.PrivateFlag) ||
        !in.Flag(e.CopyrightFlag) || !in.Flag(e.CopyFlag) || !in.Flag(e.CRCFlag) ||
        !in.Flag(e.DeleteFlag) || !in.Int(e.StereoMode) || !in.Flag(e.HasTag)) {
      return;
    }
    if (e.HasTag && (!in.TagText(e.TagTitle, queue::kTagTextWidth) ||
                     !in.TagText(e.TagArtist, queue::kTagTextWidth) ||
                     !in.TagText(e.TagAlbum, queue::kTagTextWidth) ||
                     !in.TagText(e.TagYear, queue::kTagYearWidth) ||
                     !in.TagText(e.TagComment, queue::kTagTextWidth) || !in.Int(e.TagGenre))) {
      return;
    }
    on_record(record);
  }
}

std::string JobListPath(const std::string& state_folder, const std::string& executable_path) {
  const size_t slash = executable_path.rfind('/');
  const std::string name =
      slash == std::string::npos ? executable_path : executable_path.substr(slash + 1);
  return state_folder + "/" + name + ".dat";
}

void ApplyJobRecord(const JobRecordRead& record, queue::TFileData& entry) {
  const queue::TFileData& saved = record.fields;
  entry.Options() = saved.Options();
  entry.Priority = std::clamp(entry.Priority, 0, 5);
  entry.StereoMode = std::clamp(entry.StereoMode, 0, 4);
  // The expected size follows the restored bitrate, not the default it was probed with.
  entry.RequiredSize = queue::RequiredSizeFor(
      entry.FileSize, static_cast<int64_t>(entry.Channels) * entry.BitsPerSample * entry.SampleRate,
      entry.Bitrate);
  entry.Tag() = saved.Tag();
}

}  // namespace tolvane::settings
