#pragma once
// A text label with its own colour, font and cursor that can act as a link: clicked, it
// opens its link text (a web address or a mail link) with the desktop.

#include <QCursor>
#include <QFont>
#include <QLabel>

#include <optional>

namespace orvanel {

class CStaticEx : public QLabel {
    Q_OBJECT

public:
    explicit CStaticEx(const QString& text = {}, QWidget* parent = nullptr);

    // Remembers text as the link target and shows it.
    void SetLinkText(const QString& text);
    // On: clicks open the link, shown blue and underlined under the up-arrow cursor.
    // Off: clicks do nothing; the look stays.
    void SetLink(bool on);
    void SetTextColour(const QColor& colour);
    void SetUnderline(bool on);
    void SetLinkCursor(const QCursor& cursor);

    bool IsLink() const { return m_link; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ApplyLook();

    QColor m_textColour;
    QFont m_font;
    QString m_linkText;
    bool m_link = false;
    std::optional<QCursor> m_cursor;
};

} // namespace orvanel
