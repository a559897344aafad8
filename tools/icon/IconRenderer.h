#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

namespace quorvane {

// Draws the application icon from its SVG source with Qt's own SVG
// renderer, or scales a PNG source, so that the build needs no image
// converter and no SVG plug-in of one.

// The SVG drawn into a transparent square of `size` pixels (aspect kept,
// centred). A null image when the file cannot be read as SVG.
QImage RenderSvgIcon(const QString& svgFile, int size);

// The picture in a file ending in .svg drawn as above; any other picture
// (a PNG) scaled smoothly into the square the same way. A null image when
// the file cannot be read.
QImage RenderIcon(const QString& pictureFile, int size);

// A Windows icon file holding the images, smallest first. Images up to 255
// pixels are stored as 32-bit bitmaps with an alpha channel, a 256-pixel
// image as PNG (the icon format allows both). Every image must be square,
// 1 to 256 pixels.
QByteArray IcoFileBytes(const std::vector<QImage>& images);

// The command line: `quorvane-icon INPUT OUTPUT.png SIZE` or
// `quorvane-icon INPUT OUTPUT.ico SIZE...`, INPUT an SVG or a PNG. Returns the exit status;
// messages go to standard error.
int RunIconTool(const std::vector<QString>& args);

}  // namespace quorvane
