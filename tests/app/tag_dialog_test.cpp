#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "blade_fixture.h"
#include "encoding_window.h"
#include "support/mp3_inspect.h"
#include "tags/genres.h"
#include "tags/id3_tag.h"

namespace tolvane::app {
namespace {

struct TagFixture : BladeFixture {
  TagFixture() {
    for (const char* name : {"first.wav", "second.wav", "third.wav"})
      blade.AddPath(Wave(name));
  }
  options::TIDForm& Dialog() { return blade.IDForm(); }
  void Select(int row) {
    blade.Queue.Rows().ClearSelection();
    blade.Queue.Item(row).SetSelected(true);
  }
  // Opens the dialog on `row` and works it with `script` while it shows.
  void Edit(int row, std::function<void(options::TIDForm&)> script) {
    Select(row);
    system.dialogs.ActInNextForm([this, script](ui::Form&) { script(Dialog()); });
    blade.IDButton.Click();
  }
  static bool Key(options::TIDForm& d, int key, ui::ShiftState shift = {}) {
    return d.IDForm.KeyDown(key, shift);
  }
  // Picks the genre box's item that reads `name` ("" for the empty one), as the user does.
  static void ChooseGenre(options::TIDForm& d, const std::string& name) {
    const std::vector<std::string>& items = d.IDGenre.Items();
    const auto at = std::find(items.begin(), items.end(), name);
    ASSERT_NE(at, items.end()) << name;
    d.IDGenre.Choose(static_cast<int>(at - items.begin()));
  }
};

constexpr ui::ShiftState kCtrl{.ctrl = true};

TEST(TagDialog, OpensForOneSelectedRowFromEveryWayIn) {
  TagFixture f;
  const std::pair<const char*, std::function<void()>> openers[] = {
      {"the ID3 button", [&] { f.blade.IDButton.Click(); }},
      {"a double click", [&] { f.blade.Queue.OnDblClick(); }},
      {"Enter", [&] { f.blade.Queue.OnKeyPress(13); }},
      {"Alt+3", [&] { f.blade.Queue.OnKeyDown('3', {.alt = true}); }},
      {"the menu", [&] { f.blade.FilesMenu.FindByName("ID3TagItem")->Click(); }}};
  for (const auto& [way, open] : openers) {
    SCOPED_TRACE(way);
    f.blade.Queue.Rows().ClearSelection();
    const size_t shown = f.system.dialogs.Forms().size();
    open();
    EXPECT_EQ(f.system.dialogs.Forms().size(), shown) << "nothing selected";
    f.blade.Queue.Item(0).SetSelected(true);
    f.blade.Queue.Item(1).SetSelected(true);
    open();
    EXPECT_EQ(f.system.dialogs.Forms().size(), shown) << "two selected";
    f.Select(1);
    f.system.dialogs.CancelNextForm();
    open();
    ASSERT_EQ(f.system.dialogs.Forms().size(), shown + 1);
    EXPECT_EQ(f.system.dialogs.Forms().back().caption, "ID3 Tag");
  }
  // Placed with its top 16 pixels below the row's top, at the row's left.
  const ui::Rect list = f.blade.Queue.ScreenBounds();
  EXPECT_EQ(f.system.dialogs.Forms().back().bounds.left, list.left + 2);
  EXPECT_EQ(f.system.dialogs.Forms().back().bounds.top, list.top + 2 + 19 + 17 + 16);
}

// A fresh file shows its name as the title; Assign without typing keeps that and no genre.
TEST(TagDialog, AssignStoresTheFieldsAndMarksTheRow) {
  TagFixture f;
  f.Edit(1, [&](options::TIDForm& d) {
    EXPECT_EQ(d.IDTitle.Text(), "second");
    EXPECT_EQ(d.IDArtist.Text(), "");
    EXPECT_EQ(d.IDTitle.MaxLength(), 30);
    EXPECT_EQ(d.IDYear.MaxLength(), 4);
    d.IDAssign.UserClick();
  });
  queue::TFileData& e = f.Entry(1);
  EXPECT_TRUE(e.HasTag);
  EXPECT_EQ(e.TagTitle, "second");
  EXPECT_EQ(tags::BuildTag(e)[127], 255) << "no genre chosen";
  EXPECT_EQ(f.blade.Queue.Item(1).StateIndex(), 5);

  f.Edit(1, [&](options::TIDForm& d) {
    d.IDArtist.SetText("Band");
    TagFixture::ChooseGenre(d, "Blues");
    EXPECT_FALSE(TagFixture::Key(d, ui::keys::kReturn, kCtrl)) << "Ctrl+Enter assigns";
  });
  EXPECT_EQ(e.TagArtist, "Band");
  EXPECT_EQ(e.TagGenre, tags::SortedIndexOf("Blues"));
  EXPECT_EQ(tags::BuildTag(e)[127], 0);
  EXPECT_FALSE(f.Entry(0).HasTag);

  // The empty choice at the top of the box is no genre again, and keeps the rest of the tag.
  f.Edit(1, [&](options::TIDForm& d) {
    EXPECT_EQ(d.IDGenre.Items().front(), "");
    TagFixture::ChooseGenre(d, "");
    d.IDAssign.UserClick();
  });
  EXPECT_TRUE(e.HasTag);
  EXPECT_EQ(e.TagGenre, -1);
  EXPECT_EQ(tags::BuildTag(e)[127], 255);
}

// On a file already encoded, Assign writes the tags at once and Remove cuts them off again.
TEST(TagDialog, AssignAndRemoveOnAnEncodedFile) {
  TagFixture f;
  const std::string audio(4000, 'M');
  const std::string mp3 = f.temp / "first.mp3";
  testing::WriteText(mp3, audio + "TAG" + std::string(125, 'x'));
  f.Entry(0).Encoded = true;
  f.Entry(0).OutputPath = mp3;
  // A title ID3v1 cannot hold goes whole into an ID3v2 tag; the next Assign replaces both.
  f.Edit(0, [&](options::TIDForm& d) {
    d.IDTitle.SetText("Кино");
    d.IDAssign.UserClick();
  });
  EXPECT_EQ(testing::ReadTags(mp3).frames.at("TIT2"), "Кино");
  EXPECT_EQ(testing::ReadTags(mp3).v1_title, "????");
  f.Edit(0, [&](options::TIDForm& d) {
    d.IDTitle.SetText("Café");
    TagFixture::ChooseGenre(d, "Trash Metal");
    d.IDAssign.UserClick();
    EXPECT_TRUE(TagFixture::Key(d, ui::keys::kReturn)) << "Enter alone is the edit's";
    EXPECT_EQ(d.IDForm.GetModalResult(), ui::ModalResult::None);
  });
  std::string file = testing::ReadText(mp3);
  ASSERT_EQ(file.size(), audio.size() + 128) << "exactly one tag";
  EXPECT_EQ(file.substr(4003, 5), std::string("Caf\xE9\0", 5)) << "ISO-8859-1";
  EXPECT_EQ(static_cast<uint8_t>(file.back()), 144);

  f.Edit(0, [&](options::TIDForm& d) {
    EXPECT_FALSE(TagFixture::Key(d, ui::keys::kDelete, kCtrl)) << "Ctrl+Delete removes";
    EXPECT_EQ(d.IDTitle.Text(), "") << "no longer the file name";
    EXPECT_FALSE(TagFixture::Key(d, ui::keys::kEscape));
    EXPECT_EQ(d.IDForm.GetModalResult(), ui::ModalResult::Cancel);
  });
  EXPECT_EQ(testing::ReadText(mp3), audio);
  EXPECT_EQ(f.blade.Queue.Item(0).StateIndex(), -1);
  EXPECT_FALSE(f.Entry(0).HasTag);
  EXPECT_EQ(f.Entry(0).TagGenre, -1);
}

// An encoder that knows no target folder writes beside the source, and the MP3 is moved; the tag
// assigned afterwards goes into the moved MP3, and nothing is left beside the source.
TEST(TagDialog, AssignAfterAnOlderEncodersMoveTagsTheMovedMp3) {
  EncodingWindow f;
  f.blade.BEVersion.SetCaption("v 0.75");
  std::filesystem::create_directories(f.temp / "out");
  f.blade.OutputFolder.SetText(f.temp / "out/");
  f.blade.AddPath(f.Wave("song.wav"));
  f.blade.EncodeClick();
  f.WaitUntilEnded();
  ASSERT_TRUE(f.loop.Pump(testing::kHangLimit));
  ASSERT_TRUE(f.Status(0).starts_with("Completed in ")) << f.Status(0);
  f.blade.Queue.Item(0).SetSelected(true);
  f.system.dialogs.ActInNextForm([&](ui::Form&) {
    options::TIDForm& d = f.blade.IDForm();
    d.IDTitle.SetText("Moved");
    d.IDAssign.UserClick();
  });
  f.blade.IDButton.Click();
  const std::string mp3 = testing::ReadText(f.temp / "out/song.mp3");
  ASSERT_EQ(mp3.size(), 1000u + 128u) << "the fake encoder's 1000 bytes and the tag";
  EXPECT_EQ(mp3.substr(1000, 8), "TAGMoved");
  EXPECT_FALSE(std::filesystem::exists(f.temp / "song.mp3"));
}

// PageUp and PageDown keep the fields in the entry and step to the neighbouring file; a locked
// field keeps its text for the next file.
TEST(TagDialog, SteppingThroughTheQueue) {
  TagFixture f;
  f.Edit(0, [&](options::TIDForm& d) {
    d.IDArtist.SetText("Kept");
    EXPECT_FALSE(TagFixture::Key(d, ui::keys::kPageUp));
    EXPECT_TRUE(f.blade.Queue.Item(0).Selected()) << "the first row stays";
    EXPECT_EQ(d.IDArtist.Text(), "Kept") << "stored and loaded again";

    d.IDRemove.UserClick();
    EXPECT_EQ(d.IDTitle.Text(), "");
    TagFixture::Key(d, ui::keys::kPageDown);
    EXPECT_TRUE(f.blade.Queue.Item(1).Selected());
    EXPECT_TRUE(f.blade.Queue.Item(1).Focused());
    EXPECT_FALSE(f.blade.Queue.Item(0).Selected());
    TagFixture::Key(d, ui::keys::kPageUp);
    EXPECT_EQ(d.IDTitle.Text(), "first") << "the name again, once the empty title is stored";

    d.LockedArtist.UserClick();
    d.IDArtist.SetText("Same band");
    TagFixture::Key(d, ui::keys::kPageDown);
    TagFixture::Key(d, ui::keys::kReturn, kCtrl);
    TagFixture::Key(d, ui::keys::kPageDown);
    TagFixture::Key(d, ui::keys::kInsert, kCtrl);
    TagFixture::Key(d, ui::keys::kPageDown);
    EXPECT_TRUE(f.blade.Queue.Item(2).Selected()) << "the last row stays";
  });
  EXPECT_FALSE(f.Entry(0).HasTag) << "stepping away stores the fields but marks nothing";
  EXPECT_EQ(f.Entry(0).TagArtist, "Same band");
  for (int row : {1, 2}) {
    EXPECT_TRUE(f.Entry(row).HasTag) << row;
    EXPECT_EQ(f.Entry(row).TagArtist, "Same band") << row;
    EXPECT_EQ(f.Entry(row).TagTitle, row == 1 ? "second" : "third");
  }
  f.Edit(2, [](options::TIDForm& d) {
    EXPECT_TRUE(d.LockedArtist.Down()) << "locks last the whole run";
    EXPECT_EQ(d.IDGenre.ItemIndex(), -1);
  });
}

}  // namespace
}  // namespace tolvane::app
