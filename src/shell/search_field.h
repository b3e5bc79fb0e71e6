// The search box 搜索框 and its suggestion list 超级列表框1 as one field: their events, the
// box's focus rule and its own popup menu, and the keyboard between the box and the list.
//
// Every visit of the box clears it (the searchFocused slot), also when the focus comes back with
// its window. No visit: the focus coming back from the box's own menu, or sent back to the box by
// the list's keys below.
//
// Keys: Down in the box goes to the list's first line (showing a list that Escape hid); Up and
// Down move in the list, Up on its first line goes back to the box; Enter picks the line as a
// double click does; Escape hides the list and goes back to the box; typing in the list types
// into the box. A list hidden while it holds the focus gives the focus back to the box. Ctrl+F and
// Ctrl+L focus the box from anywhere in its window, a visit as a click is.
#pragma once

#include <QObject>

class QKeyEvent;
class QLineEdit;
class QPoint;
class QTreeWidget;
class QWidget;

namespace fundlens {

class SearchField : public QObject {
    Q_OBJECT
public:
    // Wires `box` and `list` to the event table; lives as long as `window`.
    SearchField(QLineEdit* box, QTreeWidget* list, QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool BoxEvent(QEvent* event);
    bool BoxKey(QKeyEvent* key);
    bool ListEvent(QEvent* event);
    bool ListKey(QKeyEvent* key);
    // The box's own menu (copy, paste): while it is open, the focus coming back from it is no
    // visit.
    void ShowBoxMenu(const QPoint& globalPos);
    // Down from the box: the list's first line gets the cursor and the focus.
    bool EnterList();
    // The focus back to the box, no visit.
    void BackToBox();

    QLineEdit* m_box;
    QTreeWidget* m_list;
    bool m_menuOpen = false;
    bool m_returning = false;
};

} // namespace fundlens
