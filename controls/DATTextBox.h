#pragma once
// The pane in which a stored file is shown as text: one read-only, word-wrapping plain text
// box with a vertical scroll bar, covering the whole pane.

#include <QWidget>

#include <string>

class QPlainTextEdit;

namespace orvanel {

class CDATTextBox : public QWidget {
    Q_OBJECT

public:
    explicit CDATTextBox(QWidget* parent = nullptr);

    // Replaces the whole text with UTF-8 text, up to its first zero byte.
    void SetText(const std::string& text);
    QString GetText() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QPlainTextEdit* m_edit;
};

} // namespace orvanel
