// Control adapters: the operations the loaders use on the windows' controls, in the program's
// terms (GBK texts, Rgb colours, grid rows counted with the header as row 0). This is the one
// place where GBK meets Qt's strings.
//
// An adapter is a small value holding a guarded pointer to its widget. Every operation on a
// control that is gone, or called off the GUI thread, does nothing and reads as empty, 0 or -1.
#pragma once

#include "shell/draw_panel.h"
#include "shell/rgb.h"
#include "text/text.h"

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <string_view>
#include <vector>

namespace fundlens {

class GridWidget;
class PictureBoxWidget;

QString ToQString(const Text& text);
Text FromQString(const QString& text);

class Control {
public:
    Control() = default;
    explicit Control(QWidget* widget) : m_widget(widget) {}

    bool Exists() const { return widget() != nullptr; }
    // The control's own visible property (true for a visible control of a hidden window).
    bool Visible() const;
    void SetVisible(bool visible);
    bool Enabled() const;
    // A control losing its enabled state also loses the focus (to no other control).
    void SetEnabled(bool enabled);
    void SetToolTip(const Text& text);

    // The widget; null when it is gone or when called off the GUI thread.
    QWidget* widget() const;

protected:
    template <class W>
    W* As() const {
        return qobject_cast<W*>(widget());
    }

private:
    QPointer<QWidget> m_widget;
};

class Grid : public Control {
public:
    using Control::Control;

    // Rows including the header row; a count below 1 means the header alone.
    int RowCount() const;
    void SetRowCount(int rows);
    int ColumnCount() const;

    // The cursor cell; -1 when there is none.
    int CursorRow() const;
    int CursorColumn() const;
    // The row the grid's popup menu was last opened on; -1 when none.
    int MenuRow() const;
    // Moves the cursor without raising the cursor-moved event.
    void SetCursor(int row, int column);

    // Row 0 is the header. Writes outside the grid are ignored; reads give "" and black.
    Text CellText(int row, int column) const;
    void SetCellText(int row, int column, const Text& text);
    Rgb CellColor(int row, int column) const;
    void SetCellColor(int row, int column, Rgb color);
    // Every cell from (row1, column1) to (row2, column2), both corners included.
    void SetCellColorRange(int row1, int column1, int row2, int column2, Rgb color);

    // Empties every cell and colour; keeps the row count; restores the designed header.
    void Clear();
    // Back to the designed state, the designed row count included.
    void Reset();

private:
    GridWidget* grid() const;
};

class Label : public Control {
public:
    using Control::Control;
    Text Caption() const;
    void SetCaption(const Text& caption); // shown as plain text, never as markup
    Rgb TextColor() const;
    void SetTextColor(Rgb color);
};

class Button : public Control {
public:
    using Control::Control;
    Text Caption() const;
    void SetCaption(const Text& caption);
    // Clicks the button as the user would (the click event runs).
    void Click();
};

class EditBox : public Control {
public:
    using Control::Control;
    Text Content() const;
    void SetContent(const Text& content);
    Rgb TextColor() const;
    void SetTextColor(Rgb color);
};

// Report-style list view; items and columns counted from 0.
class ListView : public Control {
public:
    using Control::Control;
    void Clear();
    // Appends an item with its column texts; returns its index.
    int AddItem(const std::vector<Text>& columns);
    int ItemCount() const;
    // The selected item; -1 when none.
    int SelectedIndex() const;
    void SetSelectedIndex(int index);
    Text ItemText(int index, int column) const;
    int Height() const;
    void SetHeight(int height);
};

class PictureBox : public Control {
public:
    using Control::Control;
    // Decodes and shows the image; empty or undecodable bytes clear the box.
    bool ShowImage(const Bytes& data);
    void Clear();
    bool HasImage() const;
};

// The drawing operations of a draw panel; coordinates in the panel, y growing downwards.
class DrawPanel : public Control {
public:
    using Control::Control;
    void Clear();
    void Line(int x1, int y1, int x2, int y2);
    // Box corners: right and bottom edges exclusive.
    void Rectangle(int x1, int y1, int x2, int y2);
    void Ellipse(int x1, int y1, int x2, int y2);
    void FillRect(int x1, int y1, int x2, int y2);
    void DrawText(int x, int y, const Text& text);
    void SetPenStyle(PenStyle style);
    void SetPenWidth(int width); // 0: the thinnest
    void SetPenColor(Rgb color);
    void SetInvertMode(bool invert);
    bool InvertMode() const;
    void SetBrushColor(Rgb color);
    void SetTextColor(Rgb color);
    Rgb TextColor() const;
    Rgb PenColor() const;
    void SetFontSize(int points);
    int FontSize() const;
    int Width() const;
    int Height() const;
    // The whole canvas, and back.
    QImage CopyImage() const;
    void RestoreImage(const QImage& image);

private:
    DrawPanelWidget* panel() const;
};

// A window: its title, showing and closing, and its controls by designed name.
class Window {
public:
    Window() = default;
    explicit Window(QWidget* widget) : m_widget(widget) {}

    bool Exists() const { return widget() != nullptr; }
    Text Title() const;
    void SetTitle(const Text& title);
    bool Visible() const;
    void SetVisible(bool visible);
    void Show();
    // Closes the window now (a window that deletes itself on close is destroyed later, by
    // the event loop).
    void Close();
    // Posts a close request; the event loop closes the window.
    void PostClose();

    Control ControlNamed(std::string_view name) const;
    Grid GridNamed(std::string_view name) const;
    Label LabelNamed(std::string_view name) const;
    Button ButtonNamed(std::string_view name) const;
    EditBox EditNamed(std::string_view name) const;
    ListView ListNamed(std::string_view name) const;
    PictureBox PictureNamed(std::string_view name) const;
    DrawPanel PanelNamed(std::string_view name) const;

    QWidget* widget() const;

private:
    QWidget* Find(std::string_view name) const;

    QPointer<QWidget> m_widget;
};

} // namespace fundlens
