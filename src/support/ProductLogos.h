#pragma once

#include <QPixmap>

// The three logos of the product information, drawn at the screen's pixel ratio.
QPixmap ZelmoraProductLogo();
QPixmap KorvandelisVertriebLogo();
QPixmap KorvandelisHerstellerLogo();
