#pragma once

#include "TGridCopy.h"

#include <QObject>
#include <QString>

#include <string>

class QAction;
class QMenu;
class QPoint;
class TDocumentEditorForm;
class TStringGrid;

// The copy commands and the context menu of one of the window's grids: "Kopieren" (the
// selection with its titles and labels, also Ctrl+C), "Alles kopieren" (every cell) and
// "Als CSV speichern…" (the grid as the exporter's --csv writes it, into a file the user
// chooses). The menu opens on a right click, the menu key and Shift+F10.
//
// A copy too large for the clipboard is refused with a warning that names the limit, and a copy
// that runs out of memory reports that instead of ending the program; a file that cannot be
// written is reported through the application's error report, and nothing of it is left.
class TGridCommands : public QObject {
    Q_OBJECT

public:
    // csvGrid names the grid for the CSV writer ("files", "matrix", "ratings"); pageName is its
    // page's caption, part of the file name offered. text gives a cell as the window shows it.
    TGridCommands(TStringGrid& grid, TDocumentEditorForm& form, std::string csvGrid,
                  QString pageName, TGridCopy::CellText text);
    ~TGridCommands() override;

    QMenu& Menu() const { return *m_menu; }
    QAction* CopyAction = nullptr;
    QAction* CopyAllAction = nullptr;
    QAction* SaveCsvAction = nullptr;

    // Puts the selection (or every cell) on the clipboard.
    void Copy(bool all);
    // Asks for a file and writes the CSV there.
    void SaveCsv();
    // The file name offered: the log's name and the page's, beside the log.
    QString SuggestedCsvPath() const;
    // Writes the CSV to path, which shows the file only when complete (AtomicFile); throws
    // EOutputError with the German message naming the file when it cannot, and refuses the log
    // shown.
    void WriteCsv(const QString& path) const;

private:
    void ShowMenu(const QPoint& globalPos);

    TStringGrid& m_grid;
    TDocumentEditorForm& m_form;
    std::string m_csvGrid;
    QString m_pageName;
    TGridCopy::CellText m_text;
    QMenu* m_menu = nullptr;
};
