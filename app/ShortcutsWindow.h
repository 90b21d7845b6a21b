#pragma once
// The Shortcuts window (F1): every command of the menus with its keys and status text, the
// commands reached only by keys, and the mouse actions. It is rebuilt from the actions each
// time it opens, so it always says what the menus do.

#include <QDialog>
#include <QList>

class QAction;
class QMenuBar;
class QTreeWidget;

namespace orvanel {

class CShortcutsWindow : public QDialog {
    Q_OBJECT

public:
    CShortcutsWindow(QWidget* parent = nullptr);

    // Lists the commands of menus, then the window's other actions that have keys.
    void Fill(const QMenuBar& menus, const QList<QAction*>& otherActions);
    const QTreeWidget& GetTree() const { return *m_tree; }

private:
    QTreeWidget* m_tree;
};

} // namespace orvanel
