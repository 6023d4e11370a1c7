#pragma once

#include <QString>

// The report font's files where the font search path does not reach them: Debian's wine
// fonts carry a Tahoma in wine's own folder. The environment variable ZELMORA_REPORT_FONTS names
// another folder; empty where the system itself provides the font.
QString ReportFontFolder();

// Makes the report font known to the application's font database from tahoma.ttf and
// tahomabd.ttf (its bold, taken when its outlines are bold) in the folder, unless the font
// system knows the family already. Without the files the report keeps the font system's
// substitute. Call it before anything is measured in the report font (text widths are kept
// per font description), once a QGuiApplication exists. True when the family is available
// afterwards.
bool RegisterReportFonts(const QString& folder = ReportFontFolder());
