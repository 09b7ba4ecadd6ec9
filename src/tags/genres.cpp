#include "genres.h"

#include <algorithm>
#include <cctype>

namespace tolvane::tags {

namespace {

bool LessIgnoringCase(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) <
           std::tolower(static_cast<unsigned char>(y));
  });
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return !LessIgnoringCase(a, b) && !LessIgnoringCase(b, a);
}

}  // namespace

const std::array<std::string_view, kGenreCount>& GenresByNumber() {
  static constexpr std::array<std::string_view, kGenreCount> kGenres = {"Blues",
                                                                        "Classic Rock",
                                                                        "Country",
                                                                        "Dance",
                                                                        "Disco",
                                                                        "Funk",
                                                                        "Grunge",
                                                                        "Hip-Hop",
                                                                        "Jazz",
                                                                        "Metal",
                                                                        "New Age",
                                                                        "Oldies",
                                                                        "Other",
                                                                        "Pop",
                                                                        "R&B",
                                                                        "Rap",
                                                                        "Reggae",
                                                                        "Rock",
                                                                        "Techno",
                                                                        "Industrial",
                                                                        "Alternative",
                                                                        "Ska",
                                                                        "Death Metal",
                                                                        "Pranks",
                                                                        "Soundtrack",
                                                                        "Euro-Techno",
                                                                        "Ambient",
                                                                        "Trip-Hop",
                                                                        "Vocal",
                                                                        "Jazz+Funk",
                                                                        "Fusion",
                                                                        "Trance",
                                                                        "Classical",
                                                                        "Instrumental",
                                                                        "Acid",
                                                                        "House",
                                                                        "Game",
                                                                        "Sound Clip",
                                                                        "Gospel",
                                                                        "Noise",
                                                                        "Alt.Rock",
                                                                        "Bass",
                                                                        "Soul",
                                                                        "Punk",
                                                                        "Space",
                                                                        "Meditative",
                                                                        "Instrumental Pop",
                                                                        "Instrumental Rock",
                                                                        "Ethnic",
                                                                        "Gothic",
                                                                        "Darkwave",
                                                                        "Techno-Industrial",
                                                                        "Electronic",
                                                                        "Pop-Folk",
                                                                        "Eurodance",
                                                                        "Dream",
                                                                        "Southern Rock",
                                                                        "Comedy",
                                                                        "Cult",
                                                                        "Gangsta Rap",
                                                                        "Top 40",
                                                                        "Christian Rap",
                                                                        "Pop/Funk",
                                                                        "Jungle",
                                                                        "Native American",
                                                                        "Cabaret",
                                                                        "New Wave",
                                                                        "Psychedelic",
                                                                        "Rave",
                                                                        "Showtunes",
                                                                        "Trailer",
                                                                        "Lo-Fi",
                                                                        "Tribal",
                                                                        "Acid Punk",
                                                                        "Acid Jazz",
                                                                        "Polka",
                                                                        "Retro",
                                                                        "Musical",
                                                                        "Rock & Roll",
                                                                        "Hard Rock",
                                                                        "Folk",
                                                                        "Folk/Rock",
                                                                        "National Folk",
                                                                        "Swing",
                                                                        "Fast Fusion",
                                                                        "Bebop",
                                                                        "Latin",
                                                                        "Revival",
                                                                        "Celtic",
                                                                        "Bluegrass",
                                                                        "Avantgarde",
                                                                        "Gothic Rock",
                                                                        "Progressive Rock",
                                                                        "Psychedelic Rock",
                                                                        "Symphonic Rock",
                                                                        "Slow Rock",
                                                                        "Big Band",
                                                                        "Chorus",
                                                                        "Easy Listening",
                                                                        "Acoustic",
                                                                        "Humour",
                                                                        "Speech",
                                                                        "Chanson",
                                                                        "Opera",
                                                                        "Chamber Music",
                                                                        "Sonata",
                                                                        "Symphony",
                                                                        "Booty Bass",
                                                                        "Primus",
                                                                        "Porn Groove",
                                                                        "Satire",
                                                                        "Slow Jam",
                                                                        "Club",
                                                                        "Tango",
                                                                        "Samba",
                                                                        "Folklore",
                                                                        "Ballad",
                                                                        "Power Ballad",
                                                                        "Rhythmic Soul",
                                                                        "Freestyle",
                                                                        "Duet",
                                                                        "Punk Rock",
                                                                        "Drum Solo",
                                                                        "A Capella",
                                                                        "Euro-House",
                                                                        "Dance Hall",
                                                                        "Goa",
                                                                        "Drum & Bass",
                                                                        "Club-House",
                                                                        "Hardcore",
                                                                        "Terror",
                                                                        "Indie",
                                                                        "BritPop",
                                                                        "Afro-Punk",
                                                                        "Polsk Punk",
                                                                        "Beat",
                                                                        "Christian Gangsta",
                                                                        "Heavy Metal",
                                                                        "Black Metal",
                                                                        "Crossover",
                                                                        "Contemporary Christian",
                                                                        "Christian Rock",
                                                                        "Merengue",
                                                                        "Salsa",
                                                                        "Trash Metal",
                                                                        "Anime",
                                                                        "JPop",
                                                                        "Synthpop"};
  return kGenres;
}

const std::vector<std::string_view>& SortedGenres() {
  static const std::vector<std::string_view> sorted = [] {
    std::vector<std::string_view> names(GenresByNumber().begin(), GenresByNumber().end());
    // The dialog's list starts from the names in reverse order of number.
    std::reverse(names.begin(), names.end());
    std::stable_sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
  }();
  return sorted;
}

int GenreNumberOf(int sorted_index) {
  if (sorted_index < 0 || sorted_index >= kGenreCount)
    return kNoGenre;
  const std::string_view name = SortedGenres()[static_cast<size_t>(sorted_index)];
  const auto& genres = GenresByNumber();
  return static_cast<int>(std::find(genres.begin(), genres.end(), name) - genres.begin());
}

int SortedIndexOf(std::string_view name) {
  const auto& sorted = SortedGenres();
  const auto found = std::find(sorted.begin(), sorted.end(), name);
  return found == sorted.end() ? -1 : static_cast<int>(found - sorted.begin());
}

int GenreNumberNamed(std::string_view name) {
  const auto& genres = GenresByNumber();
  const auto found = std::find_if(genres.begin(), genres.end(), [name](std::string_view genre) {
    return EqualIgnoringCase(genre, name);
  });
  return found == genres.end() ? kNoGenre : static_cast<int>(found - genres.begin());
}

}  // namespace tolvane::tags
