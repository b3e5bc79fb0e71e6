#include "shell/windows.h"

#include "shell/async.h"
#include "shell/control_dump.h"
#include "shell/event_routines.h"
#include "shell/forms.h"

#include <QCoreApplication>
#include <QPointer>
#include <array>

namespace fundlens {

namespace {

QPointer<MainForm>& MainPointer() {
    static QPointer<MainForm> form;
    return form;
}

QPointer<SectorForm>& SectorPointer() {
    static QPointer<SectorForm> form;
    return form;
}

QPointer<ChartForm>& ChartPointer() {
    static QPointer<ChartForm> form;
    return form;
}

// The windows beside the designed three, by id.
std::array<QPointer<QWidget>, WindowCount>& OtherWindows() {
    static std::array<QPointer<QWidget>, WindowCount> windows;
    return windows;
}

QPointer<QWidget>& OtherPointer(WindowId id) {
    return OtherWindows()[static_cast<std::size_t>(id)];
}

// Tells the control dump when a window of its own closes.
class CloseWatch : public QObject {
public:
    CloseWatch(QWidget* window, WindowId id) : QObject(window), m_id(id) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && watched == parent())
            NoteWindowClosed(m_id);
        return QObject::eventFilter(watched, event);
    }

private:
    WindowId m_id;
};

void CloseOtherWindows() {
    for (QPointer<QWidget>& window : OtherWindows()) {
        if (window)
            window->close();
    }
}

// Set once the main window has closed: the run is ending, no other window opens any more.
bool& MainClosed() {
    static bool closed = false;
    return closed;
}

} // namespace

MainForm* CreateMainWindow() {
    if (MainPointer()) {
        return MainPointer();
    }
    auto* form = new MainForm;
    MainPointer() = form;
    MainClosed() = false;
    SetProgramEnding(false);
    NoteWindowOpened(WindowId::Main);
    QObject::connect(form, &MainForm::closing, form, [] {
        MainClosed() = true;
        SetProgramEnding(); // loaders write nothing more
        NoteWindowClosed(WindowId::Main);
        // The other windows go with the main window.
        if (SectorPointer()) {
            SectorPointer()->close();
        }
        if (ChartPointer()) {
            ChartPointer()->reject();
        }
        CloseOtherWindows();
    });
    return form;
}

void ShowMainWindow() {
    if (MainForm* form = MainPointer()) {
        MainClosed() = false;
        NoteWindowOpened(WindowId::Main);
        form->show();
        form->raise();
        form->activateWindow();
    }
}

void DestroyWindows() {
    for (QPointer<QWidget>& window : OtherWindows()) {
        if (window) {
            window->close();
            delete window.data();
        }
    }
    if (ChartPointer()) {
        ChartPointer()->reject();
        delete ChartPointer().data();
    }
    if (SectorPointer()) {
        delete SectorPointer().data();
    }
    if (MainPointer()) {
        delete MainPointer().data();
    }
}

Window MainWindow() {
    return Window(MainPointer().data());
}

Window SectorWindow() {
    return Window(SectorPointer().data());
}

Window ChartWindow() {
    return Window(ChartPointer().data());
}

Window WatchlistWindow() {
    return Window(OtherPointer(WindowId::Watchlist).data());
}

Window BasketWindow() {
    return Window(OtherPointer(WindowId::Basket).data());
}

Window WindowOf(WindowId id) {
    switch (id) {
    case WindowId::Main:
        return MainWindow();
    case WindowId::Sector:
        return SectorWindow();
    case WindowId::Chart:
        return ChartWindow();
    case WindowId::Watchlist:
    case WindowId::Basket:
        return Window(OtherPointer(id).data());
    }
    return Window();
}

const char* WindowKey(WindowId id) {
    static constexpr std::array<const char*, WindowCount> keys{"main", "sector", "chart",
                                                               "watchlist", "basket"};
    return keys[static_cast<std::size_t>(id)];
}

Window OpenModelessWindow(WindowId id, const std::function<QWidget*()>& make) {
    if (MainClosed() || id == WindowId::Main || id == WindowId::Sector || id == WindowId::Chart)
        return Window();
    QPointer<QWidget>& pointer = OtherPointer(id);
    if (!pointer) {
        QWidget* window = make();
        window->setAttribute(Qt::WA_DeleteOnClose);
        pointer = window;
        new CloseWatch(window, id);
        NoteWindowOpened(id);
    }
    pointer->show();
    pointer->raise();
    pointer->activateWindow();
    return Window(pointer.data());
}

Window OpenSectorWindow() {
    if (MainClosed()) {
        return Window();
    }
    if (SectorForm* open = SectorPointer()) {
        open->show();
        open->raise();
        open->activateWindow();
        return Window(open);
    }
    auto* form = new SectorForm;
    SectorPointer() = form;
    NoteWindowOpened(WindowId::Sector);
    QObject::connect(form, &SectorForm::closing, form, [] { NoteWindowClosed(WindowId::Sector); });
    form->show();
    form->raise();
    form->activateWindow();
    return Window(form);
}

void OpenChartWindowModal() {
    MainForm* main = MainPointer();
    if (main == nullptr || MainClosed() || ChartPointer() || QCoreApplication::closingDown()) {
        return;
    }
    QPointer<ChartForm> dialog = new ChartForm(main);
    ChartPointer() = dialog;
    NoteWindowOpened(WindowId::Chart);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
    Fire(Routines().chartWindowCreated);
    // The created event may have let the user close the dialog (or the program end) already.
    if (dialog && dialog->isVisible()) {
        dialog->exec();
    }
    if (dialog) {
        NoteWindowClosed(WindowId::Chart);
        ChartPointer() = nullptr;
        // Routines further up the stack may still hold the dialog: delete it from the loop.
        dialog->deleteLater();
    }
}

} // namespace fundlens
