#pragma once
// The pointer of the advert link: a white hand with the index finger up,
// outlined in black, as a 32 x 32 two-colour cursor with a transparency mask.

#include <QCursor>
#include <QImage>

namespace snipwell::qt {

// The hand as an image: transparent around it, white inside, black outline.
QImage drawHandImage();

QCursor makeHandCursor();

}  // namespace snipwell::qt
