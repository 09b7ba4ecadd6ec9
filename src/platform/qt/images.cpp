#include "images.h"

#include <QIcon>

#include "text.h"

// Resources of a static library are registered by hand: nothing else pulls them in.
static void RegisterImages() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(images);
    return true;
  }();
  (void)registered;
}

namespace tolvane::qt {

QPixmap Image(const std::string& name) {
  RegisterImages();
  return QPixmap(QStringLiteral(":/images/") + ToQString(name) + QStringLiteral(".png"));
}

QPixmap DisabledImage(const std::string& name) {
  const QPixmap image = Image(name);
  return QIcon(image).pixmap(image.size(), QIcon::Disabled);
}

QPixmap RowImage(int index) {
  return Image("row" + std::to_string(index));
}

QIcon ApplicationIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/images/tolvane-%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace tolvane::qt
