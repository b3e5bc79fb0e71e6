#include "shell/controls.h"

#include "shell/full_text.h"
#include "shell/picture_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QThread>
#include <QTreeWidget>
#include <algorithm>

namespace fundlens {

QString ToQString(const Text& text) {
    return QString::fromStdString(TextToUtf8(text));
}

Text FromQString(const QString& text) {
    return Utf8ToText(text.toStdString());
}

QColor ToQColor(Rgb c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

Rgb FromQColor(const QColor& c) {
    return MakeRgb(c.red(), c.green(), c.blue());
}

std::string RgbToHex(Rgb c) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex = "#";
    for (int part : {RedOf(c), GreenOf(c), BlueOf(c)}) {
        hex += digits[part >> 4];
        hex += digits[part & 15];
    }
    return hex;
}

namespace {

bool OnGuiThread() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() != app->thread()) {
        qWarning("fundlens: a control was used off the GUI thread; the call is ignored");
        return false;
    }
    return true;
}

} // namespace

// ---- Control

QWidget* Control::widget() const {
    return OnGuiThread() ? m_widget.data() : nullptr;
}

bool Control::Visible() const {
    QWidget* w = widget();
    return w != nullptr && !w->isHidden();
}

void Control::SetVisible(bool visible) {
    if (QWidget* w = widget()) {
        w->setVisible(visible);
        if (visible) {
            w->raise();
        }
    }
}

bool Control::Enabled() const {
    QWidget* w = widget();
    return w != nullptr && w->isEnabled();
}

void Control::SetEnabled(bool enabled) {
    if (QWidget* w = widget()) {
        // Qt hands the focus of a control being disabled on to the next one, as a Tab key
        // would; the search box would take that for a visit of the user and clear itself.
        if (!enabled && w->hasFocus()) {
            w->clearFocus();
        }
        w->setEnabled(enabled);
    }
}

void Control::SetToolTip(const Text& text) {
    if (QWidget* w = widget()) {
        // A tip that looks like markup would be rendered as such: show it as typed.
        w->setToolTip(PlainToolTip(ToQString(text)));
    }
}

// ---- Label

Text Label::Caption() const {
    auto* label = As<QLabel>();
    return label ? FromQString(label->text()) : Text();
}

void Label::SetCaption(const Text& caption) {
    if (auto* label = As<QLabel>()) {
        label->setTextFormat(Qt::PlainText);
        label->setText(ToQString(caption));
    }
}

Rgb Label::TextColor() const {
    auto* label = As<QLabel>();
    return label ? FromQColor(label->palette().color(QPalette::WindowText)) : RgbBlack;
}

void Label::SetTextColor(Rgb color) {
    if (auto* label = As<QLabel>()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, ToQColor(color));
        label->setPalette(palette);
    }
}

// ---- Button

Text Button::Caption() const {
    auto* button = As<QAbstractButton>();
    return button ? FromQString(button->text()) : Text();
}

void Button::SetCaption(const Text& caption) {
    if (auto* button = As<QAbstractButton>()) {
        button->setText(ToQString(caption));
    }
}

void Button::Click() {
    if (auto* button = As<QAbstractButton>()) {
        button->click();
    }
}

// ---- EditBox

Text EditBox::Content() const {
    auto* edit = As<QLineEdit>();
    return edit ? FromQString(edit->text()) : Text();
}

void EditBox::SetContent(const Text& content) {
    if (auto* edit = As<QLineEdit>()) {
        edit->setText(ToQString(content));
    }
}

Rgb EditBox::TextColor() const {
    auto* edit = As<QLineEdit>();
    return edit ? FromQColor(edit->palette().color(QPalette::Text)) : RgbBlack;
}

void EditBox::SetTextColor(Rgb color) {
    if (auto* edit = As<QLineEdit>()) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Text, ToQColor(color));
        edit->setPalette(palette);
    }
}

// ---- ListView

void ListView::Clear() {
    if (auto* list = As<QTreeWidget>()) {
        list->clear();
    }
}

int ListView::AddItem(const std::vector<Text>& columns) {
    auto* list = As<QTreeWidget>();
    if (list == nullptr) {
        return -1;
    }
    auto* item = new QTreeWidgetItem;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        item->setText(static_cast<int>(c), ToQString(columns[c]));
    }
    list->addTopLevelItem(item);
    return list->indexOfTopLevelItem(item);
}

int ListView::ItemCount() const {
    auto* list = As<QTreeWidget>();
    return list ? list->topLevelItemCount() : 0;
}

int ListView::SelectedIndex() const {
    auto* list = As<QTreeWidget>();
    if (list == nullptr || list->currentItem() == nullptr) {
        return -1;
    }
    return list->indexOfTopLevelItem(list->currentItem());
}

void ListView::SetSelectedIndex(int index) {
    if (auto* list = As<QTreeWidget>()) {
        list->setCurrentItem(list->topLevelItem(index));
    }
}

Text ListView::ItemText(int index, int column) const {
    auto* list = As<QTreeWidget>();
    QTreeWidgetItem* item = list ? list->topLevelItem(index) : nullptr;
    return item && column >= 0 ? FromQString(item->text(column)) : Text();
}

int ListView::Height() const {
    QWidget* w = widget();
    return w ? w->height() : 0;
}

void ListView::SetHeight(int height) {
    if (QWidget* w = widget()) {
        w->resize(w->width(), std::max(0, height));
    }
}

// ---- PictureBox

bool PictureBox::ShowImage(const Bytes& data) {
    auto* box = As<PictureBoxWidget>();
    if (box == nullptr) {
        return false;
    }
    return box->ShowImageData(QByteArray(reinterpret_cast<const char*>(data.data()),
                                         static_cast<qsizetype>(data.size())));
}

void PictureBox::Clear() {
    if (auto* box = As<PictureBoxWidget>()) {
        box->ClearImage();
    }
}

bool PictureBox::HasImage() const {
    auto* box = As<PictureBoxWidget>();
    return box && !box->image().isNull();
}

// ---- Window

QWidget* Window::widget() const {
    return OnGuiThread() ? m_widget.data() : nullptr;
}

Text Window::Title() const {
    QWidget* w = widget();
    return w ? FromQString(w->windowTitle()) : Text();
}

void Window::SetTitle(const Text& title) {
    if (QWidget* w = widget()) {
        w->setWindowTitle(ToQString(title));
    }
}

bool Window::Visible() const {
    QWidget* w = widget();
    return w && w->isVisible();
}

void Window::SetVisible(bool visible) {
    if (QWidget* w = widget()) {
        w->setVisible(visible);
    }
}

void Window::Show() {
    if (QWidget* w = widget()) {
        w->show();
        w->raise();
        w->activateWindow();
    }
}

void Window::Close() {
    if (QWidget* w = widget()) {
        w->close();
    }
}

void Window::PostClose() {
    if (QWidget* w = widget()) {
        QMetaObject::invokeMethod(w, &QWidget::close, Qt::QueuedConnection);
    }
}

QWidget* Window::Find(std::string_view name) const {
    QWidget* w = widget();
    if (w == nullptr) {
        return nullptr;
    }
    const QString objectName = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    QWidget* found = w->findChild<QWidget*>(objectName);
    if (found == nullptr) {
        qWarning("fundlens: window %s has no control %s", qPrintable(w->objectName()),
                 qPrintable(objectName));
    }
    return found;
}

Control Window::ControlNamed(std::string_view name) const {
    return Control(Find(name));
}
Grid Window::GridNamed(std::string_view name) const {
    return Grid(Find(name));
}
Label Window::LabelNamed(std::string_view name) const {
    return Label(Find(name));
}
Button Window::ButtonNamed(std::string_view name) const {
    return Button(Find(name));
}
EditBox Window::EditNamed(std::string_view name) const {
    return EditBox(Find(name));
}
ListView Window::ListNamed(std::string_view name) const {
    return ListView(Find(name));
}
PictureBox Window::PictureNamed(std::string_view name) const {
    return PictureBox(Find(name));
}
DrawPanel Window::PanelNamed(std::string_view name) const {
    return DrawPanel(Find(name));
}

} // namespace fundlens
