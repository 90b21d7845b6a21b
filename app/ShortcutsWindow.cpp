#include "app/ShortcutsWindow.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <set>

namespace orvanel {

namespace {

// What the mouse and the panes' own keys do; none of these is an action of the window.
const char* const kMouseActions[][2] = {
    {"Click, Shift+Click, Ctrl+Click",
        "Selects files in the list or the thumbnails; the file clicked is shown"},
    {"Click a column header", "Sorts by that column: ascending, descending, then the archive's order"},
    {"Right click", "Context menu of the list, the thumbnails, the picture, the hex editor or the text"},
    {"Ctrl+Wheel over a picture", "Zooms in or out about the pointer"},
    {"Ctrl+Wheel over the thumbnails", "Makes the thumbnails larger or smaller"},
    {"Escape in the list or the filter", "Clears the filter"},
    {"Ctrl+C, Ctrl+H, Ctrl+A in the hex editor",
        "Copies the selection as a hex dump, as bare hex digits; selects all"},
    {"Drop a file on the window", "Opens it as an archive"},
};

// The menu text without its accelerator mark.
QString Plain(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return text.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

QString Keys(const QAction& action)
{
    QStringList keys;
    for (const QKeySequence& key : action.shortcuts())
        keys << key.toString(QKeySequence::NativeText);
    return keys.join(QStringLiteral(", "));
}

void AddMenu(QTreeWidgetItem* parent, const QMenu& menu, std::set<const QAction*>& listed)
{
    for (QAction* action : menu.actions()) {
        if (action->isSeparator() || !action->isVisible() || action->text().isEmpty())
            continue;
        listed.insert(action);
        auto* item = new QTreeWidgetItem(parent, {Plain(action->text()), Keys(*action), action->statusTip()});
        if (const QMenu* sub = action->menu())
            AddMenu(item, *sub, listed);
    }
}

} // namespace

CShortcutsWindow::CShortcutsWindow(QWidget* parent) : QDialog(parent), m_tree(new QTreeWidget(this))
{
    setWindowTitle(tr("Shortcuts"));
    m_tree->setColumnCount(3);
    m_tree->setHeaderLabels({tr("Command"), tr("Keys"), tr("What it does")});
    m_tree->setRootIsDecorated(false);
    m_tree->setItemsExpandable(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tree);
    resize(760, 520);
}

void CShortcutsWindow::Fill(const QMenuBar& menus, const QList<QAction*>& otherActions)
{
    m_tree->clear();
    std::set<const QAction*> listed;
    for (QAction* top : menus.actions()) {
        if (!top->menu() || !top->isVisible())
            continue;
        auto* group = new QTreeWidgetItem(m_tree, {Plain(top->text())});
        group->setFirstColumnSpanned(true);
        AddMenu(group, *top->menu(), listed);
    }
    auto* keys = new QTreeWidgetItem(m_tree, {tr("Keys only")});
    keys->setFirstColumnSpanned(true);
    for (QAction* action : otherActions) {
        if (listed.count(action) || action->shortcuts().isEmpty() || action->text().isEmpty())
            continue;
        listed.insert(action);
        new QTreeWidgetItem(keys, {Plain(action->text()), Keys(*action), action->statusTip()});
    }
    auto* mouse = new QTreeWidgetItem(m_tree, {tr("Mouse and panes")});
    mouse->setFirstColumnSpanned(true);
    for (const auto& row : kMouseActions)
        new QTreeWidgetItem(mouse, {QString(), tr(row[0]), tr(row[1])});
    m_tree->expandAll();
    for (int c = 0; c < 2; ++c)
        m_tree->resizeColumnToContents(c);
}

} // namespace orvanel
