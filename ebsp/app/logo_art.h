// The program's own pictures, drawn in code: company logo, web-button picture, icon.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

// A disc crossed by three Kikuchi-like bands above the word "Korvell" and the
// line "The EBSD company"; fits any size, transparent outside the drawing.
QPixmap drawCompanyLogo(const QSize& size);

// A small globe with "www" beside it, for the flat web button.
QPixmap drawWebButtonPicture(const QSize& size);

// The disc of the logo alone, at a few sizes.
QIcon drawProgramIcon();
