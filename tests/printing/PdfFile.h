#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <vector>

// A PDF written by a test, read back with poppler-utils (pdfinfo, pdftotext, pdftoppm).
// Coordinates are PDF points from the page's top-left corner; pages count from 1.
class PdfFile {
public:
    struct Word {
        int page;
        QString text;
        double xMin, yMin, xMax, yMax;
    };

    explicit PdfFile(const QString& path);

    int Pages() const;
    QSizeF PageSize() const;
    QString Title() const;
    QString Producer() const;
    // The page's text with its layout kept.
    QString Text(int page) const;
    // Every word with its box, page by page.
    std::vector<Word> Words() const;
    // The words that read exactly text.
    std::vector<Word> Find(const QString& text) const;
    QImage Render(int page, int dpi) const;
    // With cairo, whose thin rules and fine dots come out as even shades rather than pixels that
    // depend on where a rule falls.
    QImage RenderSmooth(int page, int dpi) const;
    // The font list pdffonts gives, one line per font after its two heading lines.
    QStringList Fonts() const;

private:
    QString run(const QString& program, const QStringList& arguments) const;
    // Page as a PNG image by one of poppler's renderers.
    QImage render(const QString& program, int page, int dpi) const;
    QString infoField(const QString& name) const;

    QString m_path;
};
