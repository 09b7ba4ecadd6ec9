#include "batch_options.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <functional>
#include <map>
#include <set>

#include "platform/latin1.h"
#include "platform/mp3_bitrates.h"
#include "queue/names.h"
#include "tags/genres.h"

namespace tolvane::cli {

namespace {

std::string Lower(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::optional<int> Number(const std::string& text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty())
    return std::nullopt;
  return value;
}

// The position of `name` among the names from `first` to `last` of the program's name table,
// compared without regard to case.
std::optional<int> NameIndex(const std::string& name, int first, int last) {
  for (int i = first; i <= last; ++i) {
    if (Lower(queue::NameAt(i)) == Lower(name))
      return i - first;
  }
  return std::nullopt;
}

// A genre by its ID3v1 name (any case) or number, as a position in the sorted list.
std::optional<int> GenreIndex(const std::string& text) {
  if (const std::optional<int> number = Number(text)) {
    if (*number < 0 || *number >= tags::kGenreCount)
      return std::nullopt;
    return tags::SortedIndexOf(tags::GenresByNumber()[*number]);
  }
  const int number = tags::GenreNumberNamed(text);
  if (number == tags::kNoGenre)
    return std::nullopt;
  return tags::SortedIndexOf(tags::GenresByNumber()[static_cast<size_t>(number)]);
}

struct Option {
  char short_name;  // 0 for none
  bool takes_value;
  // Applies the value; returns an error message, or "" when it was fine.
  std::function<std::string(BatchOptions&, const std::string&)> apply;
};

queue::TagFields& Tag(BatchOptions& o) {
  if (!o.tag) {
    o.tag.emplace();
    o.tag->HasTag = true;
    o.tag->TagGenre = -1;  // none unless --genre names one
  }
  return *o.tag;
}

std::string TagText(std::string& field, const std::string& value, size_t width) {
  field = value;
  if (platform::FirstCharacters(value, width) == value)
    return "";
  return "'" + value + "' is longer than " + std::to_string(width) + " characters";
}

const std::map<std::string, Option>& Options() {
  static const std::map<std::string, Option> options = {
      {"bitrate",
       {'b', true,
        [](BatchOptions& o, const std::string& v) -> std::string {
          const std::optional<int> kbps = Number(v);
          if (!kbps || !platform::IsMp3Bitrate(*kbps))
            return "'" + v +
                   "' is not one of 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, "
                   "256, 320";
          o.entry.Bitrate = *kbps;
          return "";
        }}},
      {"vbr",
       {'V', true,
        [](BatchOptions& o, const std::string& v) -> std::string {
          const std::optional<int> quality = Number(v);
          if (!quality || *quality < 0 || *quality > 9)
            return "'" + v + "' is not a VBR quality from 0 (best) to 9";
          o.entry.VbrQuality = *quality;
          o.entry.Bitrate = platform::kVbrTypicalKbps[static_cast<size_t>(*quality)];
          return "";
        }}},
      {"mode",
       {'m', true,
        [](BatchOptions& o, const std::string& v) -> std::string {
          const std::optional<int> mode =
              NameIndex(v, queue::kStereoNamesAt, queue::kStereoNamesAt + 4);
          if (!mode)
            return "'" + v + "' is not one of stereo, swap, mono, left, right";
          o.entry.StereoMode = *mode;
          return "";
        }}},
      {"priority",
       {0, true,
        [](BatchOptions& o, const std::string& v) -> std::string {
          const std::optional<int> priority = NameIndex(v, 0, 5);
          if (!priority)
            return "'" + v + "' is not one of idle, lowest, lower, normal, higher, highest";
          o.entry.Priority = *priority;
          return "";
        }}},
      {"crc",
       {0, false,
        [](BatchOptions& o, const std::string&) {
          o.entry.CRCFlag = true;
          return std::string();
        }}},
      {"private",
       {0, false,
        [](BatchOptions& o, const std::string&) {
          o.entry.PrivateFlag = true;
          return std::string();
        }}},
      {"copyright",
       {0, false,
        [](BatchOptions& o, const std::string&) {
          o.entry.CopyrightFlag = true;
          return std::string();
        }}},
      {"copy",
       {0, false,
        [](BatchOptions& o, const std::string&) {
          o.entry.CopyFlag = true;
          return std::string();
        }}},
      {"delete-source",
       {0, false,
        [](BatchOptions& o, const std::string&) {
          o.entry.DeleteFlag = true;
          return std::string();
        }}},
      {"output-dir",
       {'o', true,
        [](BatchOptions& o, const std::string& v) {
          o.output_folder = v;
          return v.empty() ? std::string("needs a folder") : std::string();
        }}},
      {"tree",
       {0, true,
        [](BatchOptions& o, const std::string& v) -> std::string {
          const std::optional<int> depth = Number(v);
          if (!depth || *depth < 0 || *depth > settings::kMaxTreeDepth)
            return "'" + v + "' is not 0, 1, 2 or 3";
          o.tree_depth = *depth;
          return "";
        }}},
      {"title",
       {0, true,
        [](BatchOptions& o, const std::string& v) {
          Tag(o).TagTitle = v;
          return std::string();
        }}},
      {"artist",
       {0, true,
        [](BatchOptions& o, const std::string& v) {
          Tag(o).TagArtist = v;
          return std::string();
        }}},
      {"album",
       {0, true,
        [](BatchOptions& o, const std::string& v) {
          Tag(o).TagAlbum = v;
          return std::string();
        }}},
      {"year",
       {0, true,
        [](BatchOptions& o, const std::string& v) {
          return TagText(Tag(o).TagYear, v, queue::kTagYearWidth);
        }}},
      {"comment",
       {0, true,
        [](BatchOptions& o, const std::string& v) {
          Tag(o).TagComment = v;
          return std::string();
        }}},
      {"genre",
       {0, true,
        [](BatchOptions& o, const std::string& v) -> std::string {
          const std::optional<int> genre = GenreIndex(v);
          if (!genre)
            return "'" + v + "' is no ID3v1 genre name or number (0 to 147)";
          Tag(o).TagGenre = *genre;
          return "";
        }}},
      {"beside",
       {0, false,
        [](BatchOptions& o, const std::string&) {
          o.beside = true;
          return std::string();
        }}},
      {"mirror",
       {0, false,
        [](BatchOptions& o, const std::string&) {
          o.mirror = true;
          return std::string();
        }}},
      {"replaygain",
       {0, false,
        [](BatchOptions& o, const std::string&) {
          o.replaygain = true;
          o.entry.MeasureLoudness = true;
          return std::string();
        }}},
      {"no-source-tags",
       {0, false,
        [](BatchOptions& o, const std::string&) {
          o.source_tags = false;
          return std::string();
        }}},
      {"encoder",
       {0, true,
        [](BatchOptions& o, const std::string& v) {
          o.encoder = v;
          return v.empty() ? std::string("needs a program") : std::string();
        }}},
      {"overwrite",
       {0, false,
        [](BatchOptions& o, const std::string&) {
          o.overwrite = true;
          return std::string();
        }}},
      {"resume",
       {0, false,
        [](BatchOptions& o, const std::string&) {
          o.resume = true;
          return std::string();
        }}},
      {"jobs",
       {'j', true,
        [](BatchOptions& o, const std::string& v) -> std::string {
          const std::optional<int> jobs = Number(v);
          if (!jobs || *jobs < 1 || *jobs > 256)
            return "'" + v + "' is not a number of jobs from 1 to 256";
          o.jobs = *jobs;
          return "";
        }}},
      {"continue",
       {0, false,
        [](BatchOptions& o, const std::string&) {
          o.continue_list = true;
          return std::string();
        }}},
      {"shard",
       {0, true,
        [](BatchOptions& o, const std::string& v) -> std::string {
          const size_t slash = v.find('/');
          const std::optional<int> k = Number(v.substr(0, slash));
          const std::optional<int> n =
              slash == std::string::npos ? std::nullopt : Number(v.substr(slash + 1));
          if (!k || !n || *n < 1 || *k < 1 || *k > *n)
            return "'" + v + "' is not K/N with 1 <= K <= N";
          o.shard = *k;
          o.shards = *n;
          return "";
        }}},
      {"dry-run",
       {0, false,
        [](BatchOptions& o, const std::string&) {
          o.dry_run = true;
          return std::string();
        }}},
      {"quiet",
       {'q', false,
        [](BatchOptions& o, const std::string&) {
          o.quiet = true;
          return std::string();
        }}},
      {"help",
       {'h', false,
        [](BatchOptions& o, const std::string&) {
          o.help = true;
          return std::string();
        }}},
      {"list-genres",
       {0, false,
        [](BatchOptions& o, const std::string&) {
          o.list_genres = true;
          return std::string();
        }}},
      {"version",
       {0, false,
        [](BatchOptions& o, const std::string&) {
          o.version = true;
          return std::string();
        }}},
  };
  return options;
}

}  // namespace

BatchOptions DefaultOptions(const settings::Settings& window, int jobs) {
  BatchOptions options;
  options.entry = {window.bitrate,   window.stereo, window.priority, window.private_bit,
                   window.copyright, window.copy,   window.crc,      window.delete_source};
  if (!platform::IsMp3Bitrate(options.entry.Bitrate))
    options.entry.Bitrate = 128;
  options.output_folder = window.output_folder;
  options.tree_depth = window.tree;
  options.encoder = window.encoder_path.empty() ? settings::kDefaultEncoder : window.encoder_path;
  options.jobs = std::max(1, jobs);
  return options;
}

std::variant<BatchOptions, std::string> ParseArguments(const std::vector<std::string>& arguments,
                                                       BatchOptions defaults) {
  BatchOptions o = std::move(defaults);
  bool names_only = false;
  std::set<std::string> given;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (names_only || argument.size() < 2 || argument[0] != '-') {
      o.inputs.push_back(argument);
      continue;
    }
    if (argument == "--") {
      names_only = true;
      continue;
    }
    std::string name;
    std::optional<std::string> value;
    if (argument.starts_with("--")) {
      const size_t equals = argument.find('=');
      name = argument.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
      if (equals != std::string::npos)
        value = argument.substr(equals + 1);
    } else {
      const auto found = std::find_if(Options().begin(), Options().end(), [&](const auto& option) {
        return option.second.short_name == argument[1];
      });
      if (found == Options().end())
        return "tolvane-batch: unknown option '" + argument.substr(0, 2) + "'";
      name = found->first;
      if (argument.size() > 2)
        value = argument.substr(2);
    }
    const auto found = Options().find(name);
    if (found == Options().end())
      return "tolvane-batch: unknown option '--" + name + "'";
    given.insert(name);
    const Option& option = found->second;
    if (!option.takes_value && value)
      return "tolvane-batch: --" + name + " takes no value";
    if (option.takes_value && !value) {
      if (i + 1 >= arguments.size())
        return "tolvane-batch: --" + name + " needs a value";
      value = arguments[++i];
    }
    if (const std::string problem = option.apply(o, value.value_or("")); !problem.empty())
      return "tolvane-batch: --" + name + ": " + problem;
  }
  if (o.resume && o.overwrite)
    return std::string("tolvane-batch: --resume and --overwrite exclude each other");
  if (o.beside && given.contains("output-dir"))
    return std::string("tolvane-batch: --beside and --output-dir exclude each other");
  if (o.mirror && given.contains("tree"))
    return std::string("tolvane-batch: --mirror and --tree exclude each other");
  if (given.contains("vbr") && given.contains("bitrate"))
    return std::string("tolvane-batch: --vbr and --bitrate exclude each other");
  if (o.beside)
    o.output_folder.clear();
  if (o.beside || o.mirror)
    o.tree_depth = 0;  // the window's tree levels, which a target folder alone has
  if (o.mirror && o.output_folder.empty())
    return std::string("tolvane-batch: --mirror needs an output folder (--output-dir DIR)");
  if (!o.help && !o.version && !o.list_genres && o.inputs.empty() && !o.continue_list)
    return std::string("tolvane-batch: no FILE or FOLDER given (see --help)");
  return o;
}

std::string HelpText() {
  return R"(Usage: tolvane-batch [OPTION]... FILE|FOLDER...
Encodes WAVE, AIFF, FLAC, Ogg Vorbis and Opus files to MP3 with the encoder the Tolvane window
uses, several at once. Folders are scanned with their subfolders. Defaults come from the window's
settings.

  -b, --bitrate KBPS      32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256 or 320
  -V, --vbr QUALITY       a variable bitrate at LAME's quality 0 (best, about 245 kbps on
                          music) to 9 (about 65 kbps), in place of --bitrate, with the
                          bundled encoder
  -m, --mode MODE         stereo, swap, mono, left or right
      --priority NAME     idle, lowest, lower, normal, higher or highest
      --crc, --private, --copyright, --copy
                          set that bit of the MPEG header
      --delete-source     delete each source once its MP3 is complete
  -o, --output-dir DIR    write the MP3 files there instead of beside their sources
      --tree N            copy the last N (0 to 3) folder levels of each source below DIR
      --mirror            mirror the tree below each named folder below DIR (several named
                          folders: each below its own name)
      --beside            write each MP3 beside its source, whatever the window's target folder
      --title, --artist, --album, --comment TEXT, --year YEAR, --genre NAME|NUMBER
                          give every file this field of its tag, in place of the source's
      --replaygain        measure ReplayGain (a track's, and an album's: a folder's files
                          together) where the source has none, as the encoder encodes
      --no-source-tags    carry over none of the sources' own tags (title, artist, album,
                          album artist, year, track, disc, genre, comment, front cover,
                          ReplayGain)
      --encoder PATH      the encoder to run (default: bladeenc)
      --overwrite         replace MP3 files that exist (otherwise they are skipped)
      --resume            count an MP3 that exists as done: a rerun of a stopped or
                          failed run (or shard) succeeds once everything is there
  -j, --jobs N            run N encoders at once (default: the number of cores)
      --continue          encode the window's saved queue, and take the finished files out
      --shard K/N         take the K-th of N shards of about equal size (split a library
                          across N machines)
      --dry-run           print the encoder command lines, each with its MP3's place, and exit
  -q, --quiet             print only failures
      --list-genres       print the ID3v1 genre names, one a line, and exit
  -h, --help              print this help and exit
      --version           print the version and exit

Exit status: 0 when every file was encoded, 1 when any failed or was skipped, 2 for a bad
command line, 130 when interrupted.

Each MP3 gets an ID3v1 tag, and an ID3v2.3 tag beside it when the tag holds what ID3v1 cannot
(text outside Latin-1 or longer than 30 characters, a track or disc number, an album artist, a
cover).
)";
}

}  // namespace tolvane::cli
