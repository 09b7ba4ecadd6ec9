#pragma once

#include <QIcon>
#include <QPixmap>
#include <string>

namespace tolvane::qt {

// The program's own images, compiled in as resources: toolbar glyphs, the toolbar background
// and the six row images (0 waiting source, 1 to 3 the growing encoder mark, 4 the finished MP3,
// 5 the tag mark).
QPixmap Image(const std::string& name);
QPixmap DisabledImage(const std::string& name);
QPixmap RowImage(int index);
// The program's icon, at every size it was drawn in.
QIcon ApplicationIcon();

}  // namespace tolvane::qt
