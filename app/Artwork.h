#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>

class QPainter;

// The program's pictures, drawn in code so that they scale cleanly and need
// no image files.
namespace Artwork {

// Image n (1..11) of the toolbar's image list; 10 is unused and empty.
QIcon toolbarImage(int n);

// The window icon: a relay coil with its contact.
QIcon programIcon();

// The start-up picture, 239 x 208 pixels: a relay, its circuit and its
// timing trace with the pickup and release delays.
QPixmap startupPicture();

// A timing trace with the painter's pen: low at y, high at y - height,
// switching at each edge between left and right; it starts low.
void squareWave(QPainter &p, double y, double height, const QList<double> &edges, double left, double right);

} // namespace Artwork
