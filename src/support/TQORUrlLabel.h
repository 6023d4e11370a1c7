#pragma once

#include <QColor>
#include <QLabel>
#include <QString>

#include <functional>

class QEnterEvent;
class QMouseEvent;

// A label that opens a web, FTP or e-mail address when clicked. The address is the prefix of
// URLType followed by the label's text when UseCaption is set, otherwise URL unchanged. While
// the mouse is over it the label can light up in ActiveColor, underlined.
//
// Opening goes through one program-wide opener, QDesktopServices by default; its answer is not
// looked at, because a link that cannot be opened has nothing useful to report.
class TQORUrlLabel : public QLabel {
    Q_OBJECT

public:
    enum TURLType { utCustom, utHTTP, utFTP, utMail };

    // Opens an address; the result says whether that worked and is ignored by the label.
    using TUrlOpener = std::function<bool(const QString& address)>;

    explicit TQORUrlLabel(QWidget* parent = nullptr);

    TURLType URLType() const { return m_urlType; }
    void SetURLType(TURLType urlType) { m_urlType = urlType; }
    // The scheme prefix used with utCustom.
    QString CustomURLType() const { return m_customURLType; }
    void SetCustomURLType(const QString& prefix) { m_customURLType = prefix; }
    QString URL() const { return m_url; }
    void SetURL(const QString& url) { m_url = url; }
    bool UseCaption() const { return m_useCaption; }
    void SetUseCaption(bool useCaption) { m_useCaption = useCaption; }

    // True: plain until the mouse comes over it. False: underlined for good, never recoloured.
    bool HighlightURLOnMouse() const { return m_highlightURLOnMouse; }
    void SetHighlightURLOnMouse(bool highlight);
    QColor ActiveColor() const { return m_activeColor; }
    void SetActiveColor(const QColor& color) { m_activeColor = color; }
    QColor InactiveColor() const { return m_inactiveColor; }
    void SetInactiveColor(const QColor& color) { m_inactiveColor = color; }

    // "http://", "ftp://", "mailto:" or CustomURLType.
    QString Prefix() const;
    // What a click opens.
    QString Address() const;

    // A click: when someone listens to OnClick that is all that happens; otherwise the label
    // opens its address.
    void Click();

    // Replaces the opener of all link labels and returns the previous one, so that a caller
    // can put it back. An empty function restores the desktop's opener.
    static TUrlOpener SetUrlOpener(TUrlOpener opener);

signals:
    void OnClick();
    void OnMouseEnter();
    void OnMouseLeave();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setTextColor(const QColor& color);
    void setUnderline(bool underline);

    TURLType m_urlType = utCustom;
    QString m_customURLType;
    QString m_url;
    bool m_useCaption = false;
    bool m_highlightURLOnMouse = true;
    QColor m_activeColor = Qt::blue;
    QColor m_inactiveColor = Qt::black;
    bool m_pressed = false;
};
