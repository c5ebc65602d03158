#pragma once
// The window's 32 x 32 icon: a strip of sound with a marked stretch cut out.

#include <QIcon>
#include <QImage>

namespace snipwell::qt {

QImage drawWindowIconImage();
QIcon makeWindowIcon();

}  // namespace snipwell::qt
