#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QDropEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "app/main_window.h"
#include "app/startup.h"
#include "app/window_services.h"
#include "platform/qt/control_tree.h"
#include "platform/qt/control_widgets.h"
#include "platform/qt/form_dialog.h"
#include "platform/qt/form_view.h"
#include "platform/qt/platform_services.h"
#include "support/audio_files.h"
#include "support/desktop_stand_ins.h"
#include "support/mp3_inspect.h"
#include "support/system_services.h"

namespace tolvane::qt {
namespace {

// The real window, shown offscreen; its dialogs are scripted, or real ones the test works.
struct ShownWindow {
  QtEventLoop loop;
  ui::Application application{loop};
  QtWorkArea work_area;
  testing::SystemServices system;
  QtDialogs real_dialogs;
  app::TBlade blade;
  WindowView view{{blade.Form, application, [this] { return blade.TaskbarTitle(); }, blade.Menus(),
                   blade.Timers()}};

  explicit ShownWindow(bool real = false)
      : blade(app::WindowServices(
            system, application, work_area,
            {.dialogs = real ? static_cast<ui::Dialogs*>(&real_dialogs) : &system.dialogs})) {
    application.SetTitle("Tolvane");
    blade.FormCreate();
    view.Form().show();
    QCoreApplication::processEvents();
  }
  QWidget& Widget(const ui::Control& control) {
    QWidget* widget = view.Form().WidgetFor(control);
    EXPECT_NE(widget, nullptr) << control.Name();
    return *widget;
  }
  // The window as drawn now, also kept as a file for the README.
  QImage Screenshot(const char* name) {
    QCoreApplication::processEvents();
    const QString folder = QStringLiteral(TOLVANE_BUILD_DIR "/screenshots");
    QDir().mkpath(folder);
    const QString path = folder + "/" + name;
    const QImage image = view.Form().grab().toImage();
    EXPECT_TRUE(image.save(path)) << path.toStdString();
    return image;
  }
};

// Queues a short WAVE file that the row shows as `name`, its entry in `state`.
void AddRow(ShownWindow& w, const std::string& name,
            const queue::EntryState& state = queue::EntryState::Queued()) {
  const std::string path = w.system.config / (name + ".wav");
  testing::WriteWave(path, {.data_bytes = 17'640});
  w.blade.AddPath(path);
  queue::Queue& model = w.blade.QueueModel();
  model.SetState(model.At(model.Count() - 1), state);
}

TEST(MainWindowView, AClickOnAToolbarButtonReachesTheControl) {
  ShownWindow w;
  int clicks = 0;
  w.blade.Encode.OnClick = [&] { ++clicks; };
  QTest::mouseClick(&w.Widget(w.blade.Encode), Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(w.blade.Encode.Down()) << "Encode stays down in its group";

  w.blade.Stop.SetEnabled(true);
  QTest::mouseClick(&w.Widget(w.blade.Stop), Qt::LeftButton);
  EXPECT_TRUE(w.blade.Stop.Down());
  EXPECT_FALSE(w.blade.Encode.Down());

  int stop_clicks = 0;
  w.blade.Stop.OnClick = [&] { ++stop_clicks; };
  w.blade.Stop.SetEnabled(false);
  QCoreApplication::processEvents();
  QTest::mouseClick(&w.Widget(w.blade.Stop), Qt::LeftButton);
  EXPECT_EQ(stop_clicks, 0) << "a disabled button takes no clicks";
}

// A click lands where the user clicks: on the Bitrate button's face, which the labels of the
// toggles beside it once covered.
TEST(MainWindowView, AClickOnTheBitrateButtonsFaceOpensItsMenu) {
  ShownWindow w;
  w.blade.Main.SetActivePage(&w.blade.Defaults);
  QCoreApplication::processEvents();
  int opened = 0;
  const platform::Subscription watching =
      w.blade.BitrateMenu.PopupRequested.Connect([&opened](ui::Point) { ++opened; });
  QWidget& window = w.view.Form();
  QWidget& button = w.Widget(w.blade.Bitrate);
  for (const QPoint face : {QPoint(20, 4), button.rect().center(), QPoint(20, 13)}) {
    const QPoint at = button.mapTo(&window, face);
    QWidget* target = window.childAt(at);
    ASSERT_NE(target, nullptr);
    // The menu runs modally: it is closed as soon as it shows.
    QTimer::singleShot(0, [] {
      if (QWidget* menu = QApplication::activePopupWidget())
        menu->close();
    });
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(&window, at));
  }
  EXPECT_EQ(opened, 3);
}

// The toolbar and the toggles are reached by keyboard, pressed with Space or Enter, and named
// for screen readers.
TEST(MainWindowView, ButtonsTakeTheKeyboardAndTellScreenReadersWhatTheyAre) {
  ShownWindow w;
  int clicks = 0;
  w.blade.Encode.OnClick = [&] { ++clicks; };
  QWidget& encode = w.Widget(w.blade.Encode);
  EXPECT_EQ(encode.focusPolicy(), Qt::StrongFocus);
  for (const auto key : {Qt::Key_Space, Qt::Key_Return})
    QTest::keyClick(&encode, key);
  EXPECT_EQ(clicks, 2);

  // What a screen reader is told of each: its role, its name, its checked state, its actions;
  // pressing through the action is a click.
  struct Case {
    const ui::SpeedButton& button;
    QAccessible::Role role;
    const char* name;
    bool checkable;
    const char* action;
  };
  const Case cases[] = {
      {w.blade.Encode, QAccessible::Button, "Encode", false, "Press"},
      {w.blade.Pause, QAccessible::Button, "Pause", true, nullptr},  // disabled: no action
      {w.blade.PrivateBit, QAccessible::CheckBox, "Private", true, "Toggle"},
      {w.blade.OffOverWrite, QAccessible::CheckBox, "Overwriting", true, "Toggle"},
      {w.blade.Bitrate, QAccessible::ButtonMenu, "Bitrate: 128kbps", false, "ShowMenu"},
      {w.blade.Mp3BitrateButton, QAccessible::ButtonMenu, "Bitrate of the selection", false,
       nullptr},
  };
  for (const Case& c : cases) {
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(&w.Widget(c.button));
    ASSERT_NE(access, nullptr) << c.name;
    EXPECT_EQ(access->role(), c.role) << c.name;
    EXPECT_EQ(access->text(QAccessible::Name).toStdString(), c.name);
    EXPECT_EQ(access->state().checkable, c.checkable) << c.name;
    const QStringList actions = access->actionInterface()->actionNames();
    if (c.action != nullptr)
      EXPECT_TRUE(actions.contains(QString::fromLatin1(c.action))) << c.name;
    else
      EXPECT_FALSE(actions.contains(QAccessibleActionInterface::pressAction())) << c.name;
  }
  QAccessibleInterface* private_bit =
      QAccessible::queryAccessibleInterface(&w.Widget(w.blade.PrivateBit));
  private_bit->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  EXPECT_TRUE(w.blade.PrivateBit.Down());
  EXPECT_TRUE(private_bit->state().checked);
  QAccessibleInterface* access_encode = QAccessible::queryAccessibleInterface(&encode);
  access_encode->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(clicks, 3);
}

// Long texts fit their place: a long mount point keeps its start and end, the speed its digits.
TEST(MainWindowView, LongTextsAreElidedInTheMiddle) {
  ShownWindow w;
  w.blade.DriveButton.SetCaption("Req. and free on /media/ann/A very long name of a USB disk");
  w.blade.DriveButton.SetElidedFrom(std::string("Req. and free on ").size());
  auto& button = static_cast<SpeedButtonWidget&>(w.Widget(w.blade.DriveButton));
  const QString shown = button.ShownCaption(button.width() - 14);
  EXPECT_TRUE(shown.startsWith(QStringLiteral("Req. and free on /"))) << shown.toStdString();
  EXPECT_TRUE(shown.endsWith(QChar('k'))) << shown.toStdString();
  EXPECT_LE(button.fontMetrics().horizontalAdvance(shown), button.width() - 14);
  EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
}

// Only the whole program going to the background lets the progress replace the title: its own
// message box in front of the main window does not.
TEST(MainWindowView, ActivationIsTheProgramsNotTheWindows) {
  ShownWindow w;
  w.view.Form().activateWindow();
  QCoreApplication::processEvents();
  ASSERT_TRUE(w.blade.Title().Active());
  QWidget box;
  box.setWindowTitle(QStringLiteral("Warning"));
  box.show();
  box.activateWindow();
  QCoreApplication::processEvents();
  ASSERT_FALSE(w.view.Form().isActiveWindow());
  EXPECT_TRUE(w.blade.Title().Active()) << "still the active program";
}

// Files dragged from a file manager are taken anywhere on the window, folders with what is in
// them.
TEST(MainWindowView, TheWindowTakesDroppedFiles) {
  testing::TempFolder temp;
  testing::WriteWave(temp / "a.wav", {.data_bytes = 176'400});
  QDir().mkpath(QString::fromStdString(temp / "album"));
  testing::WriteWave(temp / "album/b.wav", {.data_bytes = 176'400});
  ShownWindow w;
  QWidget& window = w.view.Form();
  ASSERT_TRUE(window.acceptDrops());
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(temp / "a.wav")),
                QUrl::fromLocalFile(QString::fromStdString(temp / "album"))});
  const QPointF over_the_queue = w.Widget(w.blade.Queue).mapTo(&window, QPoint(200, 100));
  QDragEnterEvent enter(over_the_queue.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
  QApplication::sendEvent(&window, &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(over_the_queue, Qt::CopyAction, &data, Qt::LeftButton, {});
  QApplication::sendEvent(&window, &drop);
  ASSERT_EQ(w.blade.Queue.Count(), 2);
  EXPECT_EQ(w.blade.Queue.Item(1).Caption(), "b");
}

// Chooses `caption` in the next menu that opens, once it shows; with `screenshot` set, the
// window with the open menu is saved first.
void ChooseInNextMenu(ShownWindow& w, const QString& caption, const char* screenshot = nullptr) {
  QTimer::singleShot(0, [&w, caption, screenshot] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QAction* chosen = nullptr;
    for (QAction* action : menu->actions()) {
      if (action->text() == caption)
        chosen = action;
    }
    ASSERT_NE(chosen, nullptr) << caption.toStdString();
    if (screenshot != nullptr) {
      QPixmap shot = w.view.Form().grab();
      QPainter painter(&shot);
      painter.drawPixmap(w.view.Form().mapFromGlobal(menu->pos()), menu->grab());
      painter.end();
      const QString folder = QStringLiteral(TOLVANE_BUILD_DIR "/screenshots");
      QDir().mkpath(folder);
      EXPECT_TRUE(shot.save(folder + "/" + screenshot));
    }
    menu->setActiveAction(chosen);
    QTest::keyClick(menu, Qt::Key_Return);
  });
}

// Through the real window: one queued file gets 192 kbps, mono and checksums from the buttons
// below the queue, and the bundled encoder's MP3 says so in its frame headers.
TEST(MainWindowView, TheSelectedFilesOptionsReachItsMp3) {
  testing::TempFolder temp;
  testing::WriteWave(temp / "song.wav", {.samples = testing::Tone(44100, 2, 44100, 9000, 9000)});
  testing::WriteWave(temp / "other.wav", {.data_bytes = 176'400});
  ShownWindow w;
  w.blade.BladePath.SetText(TOLVANE_BUILD_DIR "/bladeenc");
  w.blade.ShowEncoderVersion();
  w.blade.AddPath(temp / "song.wav");
  w.blade.AddPath(temp / "other.wav");
  w.blade.Queue.Item(0).SetSelected(true);
  QCoreApplication::processEvents();
  const std::pair<ui::SpeedButton*, const char*> choices[] = {
      {&w.blade.Mp3BitrateButton, "192kbps"},
      {&w.blade.Mp3StereoButton, "Mono"},
      {&w.blade.Mp3BitsButton, "Check&sums"}};
  for (const auto& [button, caption] : choices) {
    ChooseInNextMenu(w, QString::fromUtf8(caption),
                     button == &w.blade.Mp3BitrateButton ? "bitrate-menu.png" : nullptr);
    QTest::mouseClick(&w.Widget(*button), Qt::LeftButton);
    QCoreApplication::processEvents();
  }
  EXPECT_EQ(w.blade.Mp3BitrateButton.Caption(), "192kbps");
  EXPECT_EQ(w.blade.QueueModel().At(1).Bitrate, 128) << "the other file keeps its own";

  w.blade.QueueModel().SetState(w.blade.QueueModel().At(1),
                                queue::EntryState::Skipped());  // only the first one is encoded
  QTest::mouseClick(&w.Widget(w.blade.Encode), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return w.blade.Queue.Item(0).SubItem(0).starts_with("Completed in "); }, 20000))
      << w.blade.Queue.Item(0).SubItem(0);
  const std::vector<testing::FrameHeader> frames = testing::ReadFrameHeaders(temp / "song.mp3");
  ASSERT_GT(frames.size(), 10u);
  const testing::FrameHeader& frame = frames[5];
  EXPECT_EQ(frame.bitrate_kbps, 192);
  EXPECT_EQ(frame.channel_mode, 3) << "mono";
  EXPECT_TRUE(frame.crc);
}

// Through the real window and the real picker: it opens below its button, a click opens a
// folder, OK makes it the target; Enter does nothing and Esc cancels.
TEST(MainWindowView, TheFolderPickerChoosesTheTarget) {
  testing::TempFolder temp;
  QDir().mkpath(QString::fromStdString(temp / "mp3"));
  ShownWindow w(true);
  w.blade.Main.SetActivePage(&w.blade.Defaults);
  w.blade.OutputFolder.SetText(temp.Path() + "/");
  QCoreApplication::processEvents();
  QWidget& button = w.Widget(w.blade.OutFolderButton);

  QTimer::singleShot(0, [&] {
    auto* dialog = dynamic_cast<FormDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Select folder"));
    EXPECT_EQ(dialog->size(), QSize(203, 233));
    EXPECT_EQ(dialog->frameGeometry().topLeft(), button.mapToGlobal(QPoint(0, button.height())));
    EXPECT_TRUE(w.blade.OutFolderButton.Down());
    auto* list = qobject_cast<QListWidget*>(dialog->WidgetFor(w.blade.FolderForm().Folder));
    ASSERT_NE(list, nullptr);
    const QList<QListWidgetItem*> found = list->findItems(QStringLiteral("mp3"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    // The window with the picker over it, on a canvas that holds both.
    const QRect window = w.view.Form().frameGeometry();
    const QRect both = window.united(dialog->frameGeometry());
    QPixmap shot(both.size());
    shot.fill(Qt::darkGray);
    QPainter painter(&shot);
    painter.drawPixmap(window.topLeft() - both.topLeft(), w.view.Form().grab());
    painter.drawPixmap(dialog->pos() - both.topLeft(), dialog->grab());
    painter.end();
    QDir().mkpath(QStringLiteral(TOLVANE_BUILD_DIR "/screenshots"));
    EXPECT_TRUE(shot.save(QStringLiteral(TOLVANE_BUILD_DIR "/screenshots/folder-picker.png")));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(found.front()).center());
    QCoreApplication::processEvents();
    EXPECT_EQ(w.blade.FolderForm().Directory(), temp / "mp3");
    QTest::mouseClick(dialog->WidgetFor(w.blade.FolderForm().OK), Qt::LeftButton);
  });
  QTest::mouseClick(&button, Qt::LeftButton);
  EXPECT_EQ(w.blade.OutputFolder.Text(), temp / "mp3/");
  EXPECT_EQ(w.blade.RecentMenu.Item(0).Caption(), temp / "mp3/");
  EXPECT_FALSE(w.blade.OutFolderButton.Down());

  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    // Keys go where the focus is; offscreen, the window may not have handed it out.
    QWidget* focus = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : dialog;
    QTest::keyClick(focus, Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible()) << "Enter opens the current folder, the picker stays";
    auto* list = qobject_cast<QListWidget*>(
        static_cast<FormDialog*>(dialog)->WidgetFor(w.blade.FolderForm().Folder));
    ASSERT_NE(list, nullptr);
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(w.blade.FolderForm().Directory(), temp.Path()) << "the current line moved up";
    QTest::keyClick(focus, Qt::Key_Escape);
  });
  QTest::mouseClick(&button, Qt::LeftButton);
  EXPECT_EQ(w.blade.OutputFolder.Text(), temp / "mp3/") << "cancelled";
  EXPECT_FALSE(w.blade.OutFolderButton.Down());
}

// Through the real list: a right click opens the files menu, "Remove completed" removes the
// finished rows; a click on the "Name" header opens the sort menu.
TEST(MainWindowView, TheListsMenusEditTheQueue) {
  testing::TempFolder temp;
  ShownWindow w;
  for (const char* name : {"b.wav", "c.wav", "a.wav"}) {
    testing::WriteWave(temp / name, {.data_bytes = 176'400});
    w.blade.AddPath(temp / name);
  }
  w.blade.QueueModel().SetState(w.blade.QueueModel().At(0), queue::EntryState::Completed(1, ""));
  w.blade.Queue.Item(0).SetSelected(true);
  QCoreApplication::processEvents();
  auto& list = dynamic_cast<QTableView&>(w.Widget(w.blade.Queue));
  const QPoint on_row = list.visualRect(list.model()->index(1, 0)).center();
  ChooseInNextMenu(w, QStringLiteral("Remove completed"), "files-menu.png");
  QContextMenuEvent right_click(QContextMenuEvent::Mouse, on_row,
                                list.viewport()->mapToGlobal(on_row));
  QApplication::sendEvent(list.viewport(), &right_click);
  QCoreApplication::processEvents();
  EXPECT_EQ(w.blade.Queue.Count(), 2);
  EXPECT_EQ(w.blade.Queue.Item(0).Caption(), "c");

  ChooseInNextMenu(w, QStringLiteral("Ascending by File name"), "sort-menu.png");
  QHeaderView* header = list.horizontalHeader();
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                    QPoint(header->sectionViewportPosition(0) + 20, header->height() / 2));
  QCoreApplication::processEvents();
  EXPECT_EQ(w.blade.Queue.Item(0).Caption(), "a");
  EXPECT_EQ(w.blade.Queue.Item(1).Caption(), "c");
}

// Through the real list: rows picked with clicks and Ctrl+clicks all go with Delete, also when
// the selection has a gap (the list shifts under the view while rows go).
TEST(MainWindowView, DeleteRemovesEveryRowPickedWithTheMouse) {
  struct Case {
    std::vector<int> clicked;  // the first a plain click, the others with Ctrl
    std::vector<std::string> left;
  };
  const Case cases[] = {
      {{0, 1}, {"c", "d"}},
      {{0, 2, 3}, {"b"}},
      {{1, 3}, {"a", "c"}},
  };
  for (const Case& c : cases) {
    testing::TempFolder temp;
    ShownWindow w;
    for (const char* name : {"a.wav", "b.wav", "c.wav", "d.wav"}) {
      testing::WriteWave(temp / name, {.data_bytes = 176'400});
      w.blade.AddPath(temp / name);
    }
    QCoreApplication::processEvents();
    auto& list = dynamic_cast<QTableView&>(w.Widget(w.blade.Queue));
    for (size_t i = 0; i < c.clicked.size(); ++i) {
      const QPoint on_row = list.visualRect(list.model()->index(c.clicked[i], 0)).center();
      QTest::mouseClick(list.viewport(), Qt::LeftButton,
                        i == 0 ? Qt::NoModifier : Qt::ControlModifier, on_row);
    }
    ASSERT_EQ(w.blade.Queue.SelCount(), static_cast<int>(c.clicked.size()));
    QTest::keyClick(&list, Qt::Key_Delete);
    QCoreApplication::processEvents();
    std::vector<std::string> left;
    for (int i = 0; i < w.blade.Queue.Count(); ++i)
      left.push_back(w.blade.Queue.Item(i).Caption());
    EXPECT_EQ(left, c.left) << "clicked " << c.clicked.size() << " rows from " << c.clicked[0];
  }
}

// Through the real window: a double click opens the tag dialog, the user types a title, picks
// "Jazz" and presses Ctrl+Enter; the encoded MP3 ends with that tag.
TEST(MainWindowView, TheTagDialogTagsTheMp3) {
  testing::TempFolder temp;
  testing::WriteWave(temp / "song.wav", {.samples = testing::Tone(44100, 2, 22050, 9000, 9000)});
  ShownWindow w(true);
  w.blade.BladePath.SetText(TOLVANE_BUILD_DIR "/bladeenc");
  w.blade.ShowEncoderVersion();
  w.blade.AddPath(temp / "song.wav");
  QCoreApplication::processEvents();
  auto& list = dynamic_cast<QTableView&>(w.Widget(w.blade.Queue));
  const QPoint on_row = list.visualRect(list.model()->index(0, 0)).center();

  QTimer::singleShot(0, [&] {
    auto* dialog = dynamic_cast<FormDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("ID3 Tag"));
    EXPECT_EQ(dialog->size(), QSize(332, 186));
    options::TIDForm& form = w.blade.IDForm();
    auto* title = qobject_cast<QLineEdit*>(dialog->WidgetFor(form.IDTitle));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), QStringLiteral("song"));
    // Each field is labelled for a screen reader by its lock's caption; a lock is a toggle.
    for (const auto& [control, name] :
         {std::pair<const ui::Control*, const char*>{&form.IDTitle, "Title"},
          {&form.IDYear, "Year"},
          {&form.IDGenre, "Genre"},
          {&form.LockedArtist, "Keep: Artist"}}) {
      QAccessibleInterface* access =
          QAccessible::queryAccessibleInterface(dialog->WidgetFor(*control));
      ASSERT_NE(access, nullptr) << name;
      EXPECT_EQ(access->text(QAccessible::Name).toStdString(), name);
    }
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(dialog->WidgetFor(form.LockedArtist))
                    ->state()
                    .checkable);
    title->selectAll();
    QTest::keyClicks(title, QStringLiteral("Blue in Green"));
    auto* genre = qobject_cast<QComboBox*>(dialog->WidgetFor(form.IDGenre));
    ASSERT_NE(genre, nullptr);
    QTest::keyClicks(genre, QStringLiteral("Jazz"));
    EXPECT_EQ(genre->currentText(), QStringLiteral("Jazz"));
    QPixmap shot = dialog->grab();
    QDir().mkpath(QStringLiteral(TOLVANE_BUILD_DIR "/screenshots"));
    EXPECT_TRUE(shot.save(QStringLiteral(TOLVANE_BUILD_DIR "/screenshots/id3-dialog.png")));
    QTest::keyClick(title, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(dialog->isVisible());
    QTest::mouseClick(dialog->WidgetFor(form.CancelButton), Qt::LeftButton);
  });
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, on_row);
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, on_row);
  ASSERT_EQ(w.blade.Queue.Item(0).StateIndex(), 5) << "assigned";

  QTest::mouseClick(&w.Widget(w.blade.Encode), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return w.blade.Queue.Item(0).SubItem(0).starts_with("Completed in "); }, 20000))
      << w.blade.Queue.Item(0).SubItem(0);
  const std::string mp3 = testing::ReadText(temp / "song.mp3");
  ASSERT_GT(mp3.size(), 1000u);
  const std::string tag = mp3.substr(mp3.size() - 128);
  EXPECT_EQ(tag.substr(0, 3), "TAG");
  EXPECT_EQ(tag.substr(3, 30), "Blue in Green" + std::string(17, '\0'));
  EXPECT_EQ(static_cast<uint8_t>(tag[127]), 8) << "Jazz";
}

TEST(MainWindowView, WidgetsFollowTheirControls) {
  ShownWindow w;
  QWidget& window = w.view.Form();
  EXPECT_EQ(window.size(), QSize(503, 365));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Tolvane 2.99c"));
  EXPECT_EQ(w.Widget(w.blade.Queue).geometry(), QRect(0, 0, 495, 204));
  EXPECT_EQ(w.Widget(w.blade.Pause).geometry(), QRect(244, 6, 73, 34));

  w.application.SetTitle("37% -=- Tolvane");
  EXPECT_EQ(window.windowTitle(), QStringLiteral("37% -=- Tolvane"));
  w.application.SetTitle("Tolvane");
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Tolvane 2.99c"));

  w.blade.Main.SetActivePage(&w.blade.Defaults);
  QCoreApplication::processEvents();
  EXPECT_TRUE(w.Widget(w.blade.ResetButton).isVisible());
  EXPECT_FALSE(w.Widget(w.blade.Queue).isVisible());
}

TEST(MainWindowView, RowsAndSelectionGoBothWays) {
  ShownWindow w;
  AddRow(w, "first");
  AddRow(w, "second");
  auto& table = static_cast<QTableView&>(w.Widget(w.blade.Queue));
  ASSERT_EQ(table.model()->rowCount(), 2);
  EXPECT_EQ(table.model()->index(1, 1).data().toString(), QStringLiteral("Queued"));

  w.blade.Queue.Item(1).SetSubItem(0, "42% completed");
  EXPECT_EQ(table.model()->index(1, 1).data().toString(), QStringLiteral("42% completed"));
  EXPECT_FALSE(table.model()->index(1, 0).data(Qt::ToolTipRole).isValid());
  w.blade.Queue.Item(1).SetHint("bladeenc: disk full");
  EXPECT_EQ(table.model()->index(1, 0).data(Qt::ToolTipRole).toString(),
            QStringLiteral("bladeenc: disk full"))
      << "the row's hint shows where the pointer rests";

  int selection_notices = 0;
  const platform::Subscription watching =
      w.blade.Queue.Rows().RowsChanged.Connect([&](const ui::RowsChange& change) {
        selection_notices += change.kind == ui::RowsChange::Kind::Selection ? 1 : 0;
      });
  const QRect row = table.visualRect(table.model()->index(1, 0));
  QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, row.center());
  EXPECT_EQ(w.blade.Queue.SelCount(), 1);
  EXPECT_TRUE(w.blade.Queue.Item(1).Selected());
  EXPECT_EQ(selection_notices, 1) << "a click changes the selection in one step";

  w.blade.Queue.Item(0).SetSelected(true);
  EXPECT_TRUE(table.selectionModel()->isRowSelected(0, {}));
  ASSERT_TRUE(w.blade.QueueModel().Remove(w.blade.QueueModel().At(0)));
  EXPECT_EQ(table.model()->rowCount(), 1);
  EXPECT_EQ(table.model()->index(0, 0).data().toString(), QStringLiteral("second"));
}

TEST(MainWindowView, DoubleClickOnTheToolbarBackgroundTogglesCompactMode) {
  ShownWindow w;
  const int height = w.blade.Form.Height();
  QTest::mouseDClick(&w.Widget(w.blade.SpeedBar1), Qt::LeftButton, {}, QPoint(360, 20));
  EXPECT_FALSE(w.blade.Main.Visible());
  EXPECT_EQ(w.blade.Form.Height(), height - 275);
  EXPECT_EQ(w.view.Form().height(), 90);
  QTest::mouseDClick(&w.Widget(w.blade.Open), Qt::LeftButton);
  EXPECT_FALSE(w.blade.Main.Visible()) << "a double-click on a button is no toolbar double-click";
}

TEST(MainWindowView, RendersItsPages) {
  ShownWindow w;
  AddRow(w, "Intro", queue::EntryState::Completed(4, ""));
  AddRow(w, "Second song", queue::EntryState::Encoding(57));
  w.blade.QueueModel().At(1).HasTag = true;
  w.blade.QueueModel().TagChanged(w.blade.QueueModel().At(1));
  AddRow(w, "Third song");
  AddRow(w, "Last song");
  ASSERT_TRUE(w.blade.QueueModel().SetCut(w.blade.QueueModel().At(3), true));
  w.blade.Queue.Item(1).SetSelected(true);
  w.blade.Completed.SetPosition(38);
  w.blade.AllBar3.Panel(4).SetText("38%");
  const QImage files = w.Screenshot("files.png");
  EXPECT_EQ(files.size(), QSize(app::TBlade::kClientWidth, app::TBlade::kClientHeight));

  w.blade.Main.SetActivePage(&w.blade.Defaults);
  w.blade.CRCBit.SetDown(true);
  w.blade.BEVersion.SetCaption("v 1.00");
  const QImage settings = w.Screenshot("settings.png");
  EXPECT_EQ(settings.size(), files.size());
  EXPECT_NE(settings, files) << "the other page is drawn";

  w.blade.SpeedBar1DblClick();
  const QImage compact = w.Screenshot("compact.png");
  EXPECT_EQ(compact.width(), files.width());
  EXPECT_LT(compact.height(), files.height()) << "only the bottom panel is left";
}

TEST(MainWindowView, CommandLineNamesAreQueuedInOrder) {
  testing::TempFolder temp;
  testing::WriteWave(temp / "a.wav", {.data_bytes = 176'400});
  testing::WriteAiff(temp / "b.aiff", {.frames = 44'100});
  testing::WriteText(temp / "notes.txt", "not sound");
  ShownWindow w;
  const app::StartupPlan plan =
      app::PlanStartup({"a.wav", temp / "b.aiff", temp / "notes.txt"}, temp / "tolvane.dat",
                       temp.Path(), w.system.files, w.system.paths);
  w.system.dialogs.AnswerNext(ui::MessageAnswer::Ok);  // notes.txt is refused
  w.blade.EnqueueNames(plan.names);

  ASSERT_EQ(w.blade.Queue.Count(), 2);
  EXPECT_EQ(w.blade.Queue.Item(0).Caption(), "a");
  EXPECT_EQ(w.blade.Queue.Item(1).Caption(), "b");
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(w.blade.Queue.Item(i).SubItem(0), "Queued");
  auto& table = static_cast<QTableView&>(w.Widget(w.blade.Queue));
  EXPECT_EQ(table.model()->index(1, 1).data().toString(), QStringLiteral("Queued"));
  w.Screenshot("queued.png");
}

TEST(MainWindowView, RendersTheSelectionSummary) {
  testing::TempFolder temp;
  ShownWindow w;
  const std::pair<const char*, int64_t> files[] = {{"Intro.wav", 10'584'044},
                                                   {"Second song.wav", 31'752'044},
                                                   {"Third song.wav", 5'292'044},
                                                   {"Last song.wav", 42'336'044}};
  for (const auto& [name, size] : files) {
    testing::WriteWave(temp / name, {.data_bytes = size - 44});
    w.blade.AddPath(temp / name);
  }
  w.blade.Queue.Item(1).SetSelected(true);
  QCoreApplication::processEvents();  // the summary is shown when the loop comes round
  EXPECT_EQ(w.blade.WaveBar.Panel(3).Text(), "03:00");
  w.Screenshot("summary-one.png");

  w.blade.Queue.Item(2).SetSelected(true);
  w.blade.Queue.Item(3).SetSelected(true);
  QCoreApplication::processEvents();
  EXPECT_EQ(w.blade.WaveBar.Panel(2).Text(), "003");
  w.Screenshot("summary-many.png");
}

// A control of a type no view knows is refused when its window is built, not shown as a blank.
TEST(ControlTree, RefusesAControlTypeWithoutAView) {
  ui::Panel root("Root", nullptr);
  const ui::Control unknown("Unknown", &root);
  QWidget into;
  EXPECT_THROW(ControlTree().BuildChildren(root, &into), std::logic_error);
}

}  // namespace
}  // namespace tolvane::qt
