#pragma once
// The pane that hosts one hex editor control filling its whole area. The control's
// notifications (mouse clicks, context-menu requests, changes) are not connected: the
// pane only shows bytes.

#include <QWidget>

namespace orvanel {

class CHexEditBase;

class CHexEditBaseView : public QWidget {
    Q_OBJECT

public:
    explicit CHexEditBaseView(QWidget* parent = nullptr);

    CHexEditBase& GetHexEdit() { return *m_hexEdit; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CHexEditBase* m_hexEdit; // a child widget, owned by this view
};

} // namespace orvanel
