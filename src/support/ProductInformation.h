#pragma once

#include <QString>

class QWidget;
class TQORAboutBox;

// The maker notice: it ends the product line at the bottom of the main window and is the
// Copyright slot of the product information. UTF-8.
inline constexpr char kMakerNotice[] = "(C) 2026 Korvandelis Software GmbH";
// The product and its version, the start of the product line.
inline constexpr char kProductVersion[] = "Zelmora 4.0.3";
// The application title: the program's name and the build's version (the project version of
// CMakeLists.txt). Window caption, exported caption and --version show it.
inline constexpr char kApplicationTitle[] = "ZelmoraViewer " ZELMORA_VERSION;

// The design data of the main window's about box: caption "Produkt-Information", the pages
// Hersteller, Produkt and Vertrieb, the vendor and maker addresses, links, hotline and logos.
void SetUpProductInformation(TQORAboutBox& box);

// What the about command fills in before showing the box: the maker notice (with its "&"
// escaped), the application title as product name, and the product version unless the title
// already is that text.
void FillProductInformation(TQORAboutBox& box, const QString& appTitle);

// The about command of the main window: a set-up box over parent, filled and shown modally.
void ShowProductInformation(QWidget* parent, const QString& appTitle);
