#pragma once

#include <QImage>

// The built-in 32 x 32 tartan tile: light yellow ground crossed by the same
// band of lines horizontally and vertically.
QImage MakeTartan();
