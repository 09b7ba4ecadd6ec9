// Program entry: chooses the platform implementations, creates the main window and runs the
// message loop.
#include <QApplication>

#include "main_window.h"
#include "platform/qt/form_view.h"
#include "platform/qt/platform_services.h"

int main(int argc, char** argv) {
  QApplication qt_application(argc, argv);
  tolvane::qt::QtEventLoop loop;
  tolvane::qt::QtWorkArea work_area;
  tolvane::qt::QtDialogs dialogs;

  tolvane::ui::Application application(loop);
  application.SetTitle("Tolvane");

  tolvane::app::TBlade blade(application, dialogs, work_area);
  blade.SavedTitle = application.Title();

  tolvane::qt::WindowView view({blade.Form, application, [&blade] { return blade.TaskbarTitle(); },
                                blade.Menus(), blade.Timers()});
  view.Form().show();
  return QApplication::exec();
}
