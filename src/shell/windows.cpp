#include "shell/windows.h"

#include "shell/async.h"
#include "shell/control_dump.h"
#include "shell/event_routines.h"
#include "shell/forms.h"

#include <QCoreApplication>
#include <QPointer>

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

Window WindowOf(WindowId id) {
    switch (id) {
    case WindowId::Main:
        return MainWindow();
    case WindowId::Sector:
        return SectorWindow();
    case WindowId::Chart:
        return ChartWindow();
    }
    return Window();
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
