// The design-time layout of the main window: every control's place, size, caption and first
// text. Positions are left, top in the parent's client area.
#include "main_window.h"
#include "options/menu_tags.h"
#include "platform/mp3_bitrates.h"

namespace tolvane::app {

namespace menu_tag = options::menu_tag;

namespace {

// Encode and Stop exclude each other; Pause toggles on its own.
constexpr int kEncodeStopGroup = 1;
constexpr int kPauseGroup = 2;
constexpr int kPathButtonGroup = 3;
constexpr int kOutFolderButtonGroup = 4;
constexpr int kOpenGroup = 5;

// `purpose` is said before the caption by a screen reader ("Bitrate: 128kbps").
void MakeDropDown(ui::SpeedButton& button, ui::Rect bounds, ui::PopupMenu& menu,
                  const std::string& purpose = {}) {
  button.SetBounds(bounds);
  button.SetAccessibleLabel(purpose);
  button.SetFlat(true);
  button.SetDropdownMenu(&menu);
}

// A button that stays down while the dialog it opens is showing.
void MakeHoldButton(ui::SpeedButton& button, ui::Rect bounds, int group) {
  button.SetBounds(bounds);
  button.SetGroupIndex(group);
  button.SetAllowAllUp(true);
}

}  // namespace

void TBlade::LayOutFilesPage() {
  Queue.SetBounds({0, 0, 495, 204});
  Queue.AddColumn("Name", 315);
  Queue.AddColumn("Status", 145);

  WaveBar.SetBounds({0, 205, 345, 19});
  for (int width : {55, 65})
    WaveBar.AddPanel(width, ui::Alignment::Center);
  WaveBar.AddPanel(45, ui::Alignment::Center);
  WaveBar.AddPanel(50, ui::Alignment::Center);
  for (int width : {65, 65})
    WaveBar.AddPanel(width, ui::Alignment::Right);

  MakeDropDown(DriveButton, {350, 207, 144, 17}, DrivesMenu);
  TotalBar.SetBounds({350, 225, 144, 19});
  TotalBar.AddPanel(65, ui::Alignment::Right, ui::Bevel::Lowered, "0mb");
  TotalBar.AddPanel(65, ui::Alignment::Right);

  MakeDropDown(Mp3BitrateButton, {1, 227, 77, 17}, BitrateMenu, "Bitrate of the selection");
  MakeDropDown(Mp3PrioButton, {81, 227, 72, 17}, PrioMenu, "Priority of the selection");
  MakeDropDown(Mp3StereoButton, {156, 227, 72, 17}, StereoMenu, "Output of the selection");
  MakeDropDown(Mp3BitsButton, {231, 227, 77, 17}, BitsMenu, "Header bits of the selection");
  IDButton.SetBounds({313, 227, 32, 17});
  IDButton.SetFlat(true);
  for (ui::SpeedButton* button :
       {&Mp3BitrateButton, &Mp3PrioButton, &Mp3StereoButton, &Mp3BitsButton, &IDButton}) {
    button->SetEnabled(false);
  }
}

void TBlade::LayOutSettingsPage() {
  EncoderGroup.SetBounds({4, 4, 197, 141});
  PlaceToggle(PrivateBit, {8, 24}, "Private");
  PlaceToggle(CopyrightBit, {8, 40}, "Copyright");
  PlaceToggle(CopyBit, {8, 56}, "Copy");
  PlaceToggle(CRCBit, {8, 72}, "CRC");
  PlaceToggle(DeleteBit, {8, 96}, "Del. wavs");
  AddLabel(EncoderGroup, {104, 19, 81, 13}, "Bitrate");
  MakeDropDown(Bitrate, {104, 33, 81, 17}, BitrateMenu, "Bitrate");
  AddLabel(EncoderGroup, {104, 59, 81, 13}, "Output");
  MakeDropDown(StereoButton, {104, 73, 81, 17}, StereoMenu, "Output");
  AddLabel(EncoderGroup, {104, 99, 81, 13}, "Priority");
  MakeDropDown(Priority, {104, 113, 81, 17}, PrioMenu, "Priority");

  MiscGroup.SetBounds({208, 4, 169, 69});
  PlaceToggle(RegistryButton, {8, 24}, "Integrate into shell");
  PlaceToggle(Autostart, {8, 44}, "Autostart on enqueue");

  OnEndGroup.SetBounds({384, 4, 105, 69});
  PlaceToggle(CloseProg, {8, 24}, "Close");
  PlaceToggle(ShutDown, {8, 44}, "Shutdown");
  ShutDown.SetGroupIndex(CloseProg.GroupIndex());  // at most one of the two is down

  ChecksGroup.SetBounds({208, 76, 137, 69});
  PlaceToggle(OffSpace, {8, 24}, "Free space");
  PlaceToggle(OffOverWrite, {8, 44}, "Overwriting");

  UnfinishedGroup.SetBounds({352, 76, 137, 69});
  PlaceToggle(SaveListButton, {8, 24}, "Job save");
  PlaceToggle(DeleteFileButton, {8, 44}, "File delete");

  MakeHoldButton(PathButton, {4, 158, 117, 22}, kPathButtonGroup);
  BladePath.SetBounds({128, 158, 317, 22});
  BladePath.SetReadOnly(true);
  BladePath.SetText(settings::kDefaultEncoder);
  BEVersion.SetBounds({452, 160, 36, 16});

  MakeHoldButton(OutFolderButton, {4, 182, 117, 22}, kOutFolderButtonGroup);
  MakeDropDown(RxSpeedButton1, {128, 183, 18, 21}, RecentMenu, "Recent target folders");
  OutputFolder.SetBounds({152, 182, 293, 22});
  OutputFolder.SetReadOnly(true);
  ClearFolder.SetBounds({452, 182, 41, 22});

  TreeLabel.SetBounds({8, 210, 260, 13});
  MakeDropDown(TreeButton, {48, 209, 41, 17}, TreeMenu, "Levels of the input tree to copy");
  ResetButton.SetBounds({364, 219, 129, 22});
}

void TBlade::LayOutBottomPanel() {
  SpeedBar1.SetBounds({0, 0, 503, 45});
  SpeedBar1.SetBackground("toolbar");
  struct ToolButton {
    ui::SpeedButton& button;
    int left;
    const char* glyph;
  };
  for (const ToolButton& tool :
       {ToolButton{Open, 4, "add"}, ToolButton{Encode, 84, "encode"}, ToolButton{Stop, 164, "stop"},
        ToolButton{Pause, 244, "pause"}, ToolButton{Bye, 423, "bye"}}) {
    tool.button.SetBounds({tool.left, 6, 73, 34});
    tool.button.SetFlat(true);
    tool.button.SetGlyph(tool.glyph);
  }
  Open.SetGroupIndex(kOpenGroup);
  Open.SetAllowAllUp(true);
  Encode.SetGroupIndex(kEncodeStopGroup);
  Stop.SetGroupIndex(kEncodeStopGroup);
  Stop.SetEnabled(false);
  Pause.SetGroupIndex(kPauseGroup);
  Pause.SetAllowAllUp(true);
  Pause.SetRole(ui::ButtonRole::Toggle);
  Pause.SetEnabled(false);

  AllBar1.SetBounds({2, 46, 223, 19});
  AllBar1.AddPanel(38, ui::Alignment::Center, ui::Bevel::Lowered, "000");
  AllBar1.AddPanel(20, ui::Alignment::Center, ui::Bevel::None, "of");
  AllBar1.AddPanel(38, ui::Alignment::Center, ui::Bevel::Lowered, "000");
  AllBar1.AddPanel(100, ui::Alignment::Right, ui::Bevel::None, "Estimated time for");

  Selector.SetBounds({228, 48, 77, 17});
  Selector.SetFlat(true);
  Selector.SetDropdownMenu(&EstMenu);
  Selector.SetAccessibleLabel("Estimated time for");

  AllBar2.SetBounds({312, 46, 187, 19});
  AllBar2.AddPanel(65, ui::Alignment::Center, ui::Bevel::Lowered, "00:00:00");
  AllBar2.AddPanel(74, ui::Alignment::Right, ui::Bevel::None, "Speed");
  AllBar2.AddPanel(45, ui::Alignment::Right, ui::Bevel::Lowered, "0.00x");

  AllBar3.SetBounds({1, 67, 498, 19});
  AllBar3.AddPanel(90, ui::Alignment::Left, ui::Bevel::None, "Elapsed time");
  AllBar3.AddPanel(65, ui::Alignment::Center, ui::Bevel::Lowered, "00:00:00");
  AllBar3.AddPanel(10, ui::Alignment::Left, ui::Bevel::None);
  AllBar3.AddPanel(285, ui::Alignment::Left, ui::Bevel::Lowered);
  AllBar3.AddPanel(45, ui::Alignment::Right, ui::Bevel::Lowered, "0%");

  Completed.SetBounds({168, 69, 284, 17});
}

void TBlade::BuildMenus() {
  FilesMenu.Add("AddFile", "Add...");
  FilesMenu.Add("ID3TagItem", "ID3 Tag...");
  FilesMenu.AddSeparator();
  FilesMenu.Add("CutGroup", "Cut");
  FilesMenu.Add("PasteGroup", "Paste");
  FilesMenu.AddSeparator();
  FilesMenu.Add("RemoveFile", "Remove");
  FilesMenu.Add("RemoveCompleted", "Remove completed");

  SortMenu.Add({}, "Ascending by File name", 1);
  SortMenu.Add({}, "Descending by File name", -1);
  SortMenu.AddSeparator();
  SortMenu.Add({}, "Ascending by Full path", 2);
  SortMenu.Add({}, "Descending by Full path", -2);
  SortMenu.AddSeparator();
  SortMenu.Add({}, "Ascending by Req. space", 3);
  SortMenu.Add({}, "Descending by Req. space", -3);

  for (int kbps : platform::kMp3Bitrates) {
    BitrateMenu.Add({}, std::to_string(kbps) + "kbps", menu_tag::kBitrate + kbps)
        .SetRadioItem(true);
  }
  PrioMenu.AddRadioGroup({"Idle", "Lowest", "Lower", "Normal", "Higher", "Highest"},
                         menu_tag::InARow(menu_tag::kPriority, 6));
  StereoMenu.AddRadioGroup({"Stereo", "Swap", "Mono", "Left", "Right"},
                           menu_tag::InARow(menu_tag::kStereo, 5));
  BitsMenu.Add({}, "&Delete source", menu_tag::kHeaderBits);
  BitsMenu.Add({}, "Check&sums", menu_tag::kHeaderBits + 1);
  BitsMenu.AddSeparator();
  BitsMenu.Add({}, "&Private", menu_tag::kHeaderBits + 3);
  BitsMenu.Add({}, "Copy&right", menu_tag::kHeaderBits + 4);
  BitsMenu.Add({}, "&Copy", menu_tag::kHeaderBits + 5);
  EstMenu.AddRadioGroup({"Current", "Batch"}, menu_tag::InARow(menu_tag::kEstimate, 2));
  TreeMenu.AddRadioGroup({"0", "1", "2", "3"}, menu_tag::InARow(menu_tag::kTree, 4));
  for (int i = 0; i < 5; ++i) {
    RecentMenu.Add("Recent" + std::to_string(i), {}, menu_tag::kRecent + i).SetVisible(false);
  }
}

}  // namespace tolvane::app
