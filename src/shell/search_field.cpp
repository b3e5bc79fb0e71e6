#include "shell/search_field.h"

#include "shell/controls.h"
#include "shell/event_routines.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>
#include <QTreeWidget>

namespace fundlens {

namespace {

// The keys that focus the search box from anywhere in its window.
const QKeySequence SearchShortcuts[] = {QKeySequence(Qt::CTRL | Qt::Key_F),
                                        QKeySequence(Qt::CTRL | Qt::Key_L)};

bool IsEnterKey(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// A key that types into a text box: a printable character or Backspace, no command modifier.
bool TypesText(const QKeyEvent* key) {
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    if (key->key() == Qt::Key_Backspace)
        return true;
    const QString text = key->text();
    return !text.isEmpty() && text.front().isPrint();
}

int CurrentLine(const QTreeWidget* list) {
    QTreeWidgetItem* item = list->currentItem();
    return item ? list->indexOfTopLevelItem(item) : -1;
}

} // namespace

SearchField::SearchField(QLineEdit* box, QTreeWidget* list, QWidget* window)
    : QObject(window), m_box(box), m_list(list) {
    box->installEventFilter(this);
    list->installEventFilter(this);
    connect(box, &QLineEdit::textChanged, this,
            [](const QString& text) { Fire(Routines().searchChanged, FromQString(text)); });
    connect(list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        Fire(Routines().suggestionDoubleClicked, m_list->indexOfTopLevelItem(item));
    });
    for (const QKeySequence& keys : SearchShortcuts) {
        auto* shortcut = new QShortcut(keys, window);
        connect(shortcut, &QShortcut::activated, this,
                [this] { m_box->setFocus(Qt::ShortcutFocusReason); });
    }
}

bool SearchField::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_box)
        return BoxEvent(event);
    if (watched == m_list)
        return ListEvent(event);
    return QObject::eventFilter(watched, event);
}

bool SearchField::BoxEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::ContextMenu:
        ShowBoxMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool fromMenu = m_menuOpen && reason == Qt::PopupFocusReason;
        const bool fromList = m_returning && reason == Qt::OtherFocusReason;
        if (!fromMenu && !fromList)
            Fire(Routines().searchFocused);
        return false;
    }
    case QEvent::KeyPress:
        return BoxKey(static_cast<QKeyEvent*>(event));
    default:
        return false;
    }
}

bool SearchField::BoxKey(QKeyEvent* key) {
    if (key->modifiers() != Qt::NoModifier && key->modifiers() != Qt::KeypadModifier)
        return false;
    if (key->key() == Qt::Key_Down)
        return EnterList();
    if (key->key() == Qt::Key_Escape && !m_list->isHidden()) {
        m_list->hide();
        return true;
    }
    return false;
}

bool SearchField::ListEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        return ListKey(static_cast<QKeyEvent*>(event));
    case QEvent::InputMethod: {
        auto* typed = static_cast<QInputMethodEvent*>(event);
        if (typed->commitString().isEmpty())
            return false;
        BackToBox();
        QInputMethodEvent forwarded(typed->preeditString(), typed->attributes());
        forwarded.setCommitString(typed->commitString(), typed->replacementStart(),
                                  typed->replacementLength());
        QCoreApplication::sendEvent(m_box, &forwarded);
        return true;
    }
    case QEvent::Hide:
        // Hidden by a pick, an emptied box or Escape: the focus goes back where the typing was.
        if (m_list->isHidden() && m_list->window()->focusWidget() == m_list)
            BackToBox();
        return false;
    default:
        return false;
    }
}

bool SearchField::ListKey(QKeyEvent* key) {
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier) {
        if (IsEnterKey(key)) {
            const int line = CurrentLine(m_list);
            if (line >= 0)
                Fire(Routines().suggestionDoubleClicked, line);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            m_list->hide();
            return true;
        }
        if (key->key() == Qt::Key_Up && CurrentLine(m_list) <= 0) {
            BackToBox();
            return true;
        }
    }
    if (TypesText(key)) {
        BackToBox();
        QKeyEvent forwarded(key->type(), key->key(), key->modifiers(), key->text(),
                            key->isAutoRepeat(), key->count());
        QCoreApplication::sendEvent(m_box, &forwarded);
        return true;
    }
    return false;
}

bool SearchField::EnterList() {
    QTreeWidgetItem* first = m_list->topLevelItem(0);
    if (first == nullptr || !m_list->isEnabled())
        return false;
    if (m_list->isHidden()) {
        m_list->show();
        m_list->raise();
    }
    m_list->setCurrentItem(first);
    m_list->setFocus(Qt::OtherFocusReason);
    return true;
}

void SearchField::BackToBox() {
    m_returning = true;
    m_box->setFocus(Qt::OtherFocusReason);
    m_returning = false;
}

void SearchField::ShowBoxMenu(const QPoint& globalPos) {
    QMenu* menu = m_box->createStandardContextMenu();
    m_menuOpen = true;
    menu->exec(globalPos);
    m_menuOpen = false;
    delete menu;
}

} // namespace fundlens
