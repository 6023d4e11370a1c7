#pragma once

#include "ProductIdentity.h"

#include <QString>

class QWidget;
class TQORAboutBox;

// The design data of the main window's about box: caption "Produkt-Information", the pages
// Hersteller, Produkt and Vertrieb, the vendor and maker addresses, links, hotline and logos.
void SetUpProductInformation(TQORAboutBox& box);

// What the about command fills in before showing the box: the maker notice (with its "&"
// escaped), the application title as product name, and the product version unless the title
// already is that text.
void FillProductInformation(TQORAboutBox& box, const QString& appTitle);

// The about command of the main window: a set-up box over parent, filled and shown modally.
void ShowProductInformation(QWidget* parent, const QString& appTitle);
