// A small program the desktop tests run on the test display, for what xdotool cannot do:
//   desktop_helper drag NAME...      a window titled "drag source" in the top left corner; a press
//                                    on it drags the named files (file URLs) until the release,
//                                    and the program ends with 0 when the drop was taken
//                                    (it stays three seconds more, as the target asks for the data
//                                    only after the drop)
//   desktop_helper screenshot FILE   the whole screen as a PNG file
//   desktop_helper digest            a digest of what the screen shows now, for a test that waits
//                                    until the screen has changed or has come to rest
#include <QApplication>
#include <QCryptographicHash>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {

class DragSource final : public QWidget {
 public:
  explicit DragSource(QList<QUrl> urls) : urls_(std::move(urls)) {
    setWindowTitle(QStringLiteral("drag source"));
    setFixedSize(120, 80);
    move(0, 0);
  }

 protected:
  void mousePressEvent(QMouseEvent*) override {
    auto* drag = new QDrag(this);
    auto* data = new QMimeData;
    data->setUrls(urls_);
    drag->setMimeData(data);
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::LinkAction);
    // The target asks for the data only after the drop: the source must stay to answer it.
    QTimer::singleShot(3000, [action] { QApplication::exit(action == Qt::IgnoreAction ? 1 : 0); });
  }

 private:
  QList<QUrl> urls_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() == 3 && arguments[1] == QStringLiteral("screenshot")) {
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    return screen.save(arguments[2], "PNG") ? 0 : 1;
  }
  if (arguments.size() == 2 && arguments[1] == QStringLiteral("digest")) {
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    const QByteArray pixels(reinterpret_cast<const char*>(screen.constBits()),
                            static_cast<qsizetype>(screen.sizeInBytes()));
    std::printf("%s\n", QCryptographicHash::hash(pixels, QCryptographicHash::Sha1).toHex().data());
    return 0;
  }
  if (arguments.size() >= 3 && arguments[1] == QStringLiteral("drag")) {
    QList<QUrl> urls;
    for (qsizetype i = 2; i < arguments.size(); ++i)
      urls.push_back(QUrl::fromLocalFile(arguments[i]));
    DragSource source(urls);
    source.show();
    return QApplication::exec();
  }
  std::fprintf(stderr, "usage: desktop_helper drag NAME... | screenshot FILE | digest\n");
  return 2;
}
