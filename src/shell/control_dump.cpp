#include "shell/control_dump.h"

#include "shell/draw_panel.h"
#include "shell/grid_widget.h"
#include "shell/messages.h"
#include "shell/picture_box.h"
#include "shell/program_state.h"

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSaveFile>
#include <QTreeWidget>
#include <array>
#include <nlohmann/json.hpp>
#include <optional>

namespace fundlens {

namespace {

using Json = nlohmann::ordered_json;

struct Snapshot {
    bool closed = false;
    std::optional<Json> json; // last snapshot taken when the window closed
    QImage canvas;            // the chart panel's canvas with it
};

struct DumpData {
    std::string file;
    std::array<Snapshot, WindowCount> windows;
};

DumpData& Data() {
    static DumpData data;
    return data;
}

Snapshot& SnapshotOf(WindowId id) {
    return Data().windows[static_cast<std::size_t>(id)];
}

std::string Utf8(const QString& s) {
    return s.toStdString();
}

std::string Utf8(const Text& gbk) {
    return TextToUtf8(gbk);
}

Json Geometry(const QWidget* w) {
    const QRect g = w->geometry();
    return Json::array({g.x(), g.y(), g.width(), g.height()});
}

// The chart drawn on `panel`: the basket's on the basket window's panel, the chart window's on
// any other.
const ChartState& ChartStateOf(const QWidget* panel) {
    const ChartState& basket = State().BasketChartState;
    return panel != nullptr && basket.panel.widget() == panel ? basket : State().ChartState;
}

Json ChartStateJson(const ChartState& c) {
    Json table = Json::array();
    for (const auto& row : c.ReadoutTable) {
        Json cells = Json::array();
        for (const Text& cell : row) {
            cells.push_back(Utf8(cell));
        }
        table.push_back(std::move(cells));
    }
    return Json{{"left", c.left},
                {"right", c.right},
                {"bottom", c.bottom},
                {"top", c.top},
                {"intervals", c.intervals},
                {"ymin", c.ymin},
                {"ymax", c.ymax},
                {"rowCount", c.rowCount},
                {"savedImage", c.savedImage.has_value()},
                {"ReadoutTable", std::move(table)},
                {"crosshair", Json::array({c.crosshairX, c.crosshairY})},
                {"boxX", c.boxX},
                {"lastColumn", c.lastColumn},
                {"horizontalSpec", Utf8(c.horizontalSpec)},
                {"verticalSpec", Utf8(c.verticalSpec)}};
}

Json GridJson(GridWidget* grid) {
    Json cells = Json::array(), colors = Json::array();
    const int rows = grid->GridRows(), columns = grid->columnCount();
    for (int r = 0; r < rows; ++r) {
        Json rowCells = Json::array(), rowColors = Json::array();
        for (int c = 0; c < columns; ++c) {
            QTableWidgetItem* item = r == 0 ? grid->horizontalHeaderItem(c) : grid->item(r - 1, c);
            rowCells.push_back(item ? Utf8(item->text()) : std::string());
            Rgb color = RgbBlack;
            if (item && item->foreground().style() != Qt::NoBrush) {
                color = FromQColor(item->foreground().color());
            }
            rowColors.push_back(RgbToHex(color));
        }
        cells.push_back(std::move(rowCells));
        colors.push_back(std::move(rowColors));
    }
    Json cursor = nullptr;
    if (grid->currentRow() >= 0) {
        cursor = Json::array({grid->currentRow() + 1, grid->currentColumn()});
    }
    return Json{{"kind", "grid"},
                {"rows", rows},
                {"columns", columns},
                {"cursor", cursor},
                {"cells", cells},
                {"colors", colors},
                {"rowHeight", grid->design().rowHeight}};
}

Json ControlJson(QWidget* w) {
    Json entry;
    if (auto* grid = qobject_cast<GridWidget*>(w)) {
        entry = GridJson(grid);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        entry = Json{{"kind", "label"},
                     {"text", Utf8(label->text())},
                     {"color", RgbToHex(FromQColor(label->palette().color(QPalette::WindowText)))}};
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        entry = Json{{"kind", "button"}, {"text", Utf8(button->text())}};
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        entry = Json{{"kind", "edit"},
                     {"text", Utf8(edit->text())},
                     {"color", RgbToHex(FromQColor(edit->palette().color(QPalette::Text)))}};
    } else if (auto* list = qobject_cast<QTreeWidget*>(w)) {
        Json items = Json::array();
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            Json texts = Json::array();
            for (int c = 0; c < list->columnCount(); ++c) {
                texts.push_back(Utf8(list->topLevelItem(i)->text(c)));
            }
            items.push_back(std::move(texts));
        }
        const int selected =
            list->currentItem() ? list->indexOfTopLevelItem(list->currentItem()) : -1;
        entry = Json{{"kind", "list"},
                     {"items", std::move(items)},
                     {"selected", selected},
                     {"height", list->height()}};
    } else if (auto* picture = qobject_cast<PictureBoxWidget*>(w)) {
        const QImage& image = picture->image();
        entry = Json{{"kind", "picture"},
                     {"hasImage", !image.isNull()},
                     {"imageSize", Json::array({image.width(), image.height()})}};
    } else if (qobject_cast<DrawPanelWidget*>(w) != nullptr) {
        entry = Json{{"kind", "panel"}, {"chart", ChartStateJson(ChartStateOf(w))}};
    } else if (auto* menu = qobject_cast<QMenu*>(w)) {
        Json items = Json::array();
        for (QAction* action : menu->actions()) {
            items.push_back(Utf8(action->text()));
        }
        entry = Json{{"kind", "menu"}, {"items", std::move(items)}};
    } else {
        return nullptr;
    }
    entry["geometry"] = Geometry(w);
    entry["visible"] = !w->isHidden();
    entry["enabled"] = w->isEnabled();
    return entry;
}

Json WindowJson(QWidget* window) {
    Json controls = Json::object();
    for (QObject* child : window->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w == nullptr || w->objectName().isEmpty()) {
            continue;
        }
        Json entry = ControlJson(w);
        if (!entry.is_null()) {
            controls[Utf8(w->objectName())] = std::move(entry);
        }
    }
    return Json{{"title", Utf8(window->windowTitle())},
                {"geometry", Geometry(window)},
                {"visible", window->isVisible()},
                {"controls", std::move(controls)}};
}

QImage LiveCanvas(QWidget* window) {
    if (window == nullptr) {
        return {};
    }
    auto* panel = window->findChild<DrawPanelWidget*>();
    return panel ? panel->canvas().copy() : QImage();
}

Json StateJson() {
    const ProgramState& s = State();
    return Json{{"ProgramVersion", s.ProgramVersion},
                {"SortAscendingNext", s.SortAscendingNext},
                {"FirstSectorLoad", s.FirstSectorLoad},
                {"ListIsFiveStar", s.ListIsFiveStar},
                {"CurrentSectorCode", s.CurrentSectorCode},
                {"CurrentSectorName", Utf8(s.CurrentSectorName)},
                {"CurrentFundCode", Utf8(s.CurrentFundCode)},
                {"CompareFundCode", Utf8(s.CompareFundCode)},
                {"SearchPickFlag", s.SearchPickFlag},
                {"CompareCodes", Utf8(s.CompareCodes)}};
}

// The window's entry: live while open, else the snapshot it left, else null.
Json WindowEntry(WindowId id) {
    Snapshot& snapshot = SnapshotOf(id);
    QWidget* live = WindowOf(id).widget();
    if (live != nullptr && !snapshot.closed) {
        return WindowJson(live);
    }
    return snapshot.json.value_or(Json(nullptr));
}

QImage ChartCanvas() {
    Snapshot& snapshot = SnapshotOf(WindowId::Chart);
    QWidget* live = ChartWindow().widget();
    return live != nullptr && !snapshot.closed ? LiveCanvas(live) : snapshot.canvas;
}

} // namespace

void SetDumpFile(const std::string& path) {
    Data().file = path;
    // Ending the process at once (an accepted update) still leaves a dump.
    SetBeforeProcessEnd([] { WriteDump(); });
}

const std::string& DumpFile() {
    return Data().file;
}

void NoteWindowOpened(WindowId id) {
    SnapshotOf(id).closed = false;
}

void NoteWindowClosed(WindowId id) {
    Snapshot& snapshot = SnapshotOf(id);
    if (QWidget* live = WindowOf(id).widget()) {
        snapshot.json = WindowJson(live);
        if (id == WindowId::Chart) {
            snapshot.canvas = LiveCanvas(live);
        }
    }
    snapshot.closed = true;
    WriteDump();
}

Json MessagesJson() {
    Json messages = Json::array();
    for (const ShownMessageRecord& m : MessagesShown()) {
        const bool yesNo = m.buttons == MessageButtons::YesNo;
        const char* answer = m.answer == MessageAnswer::Yes  ? "yes"
                             : m.answer == MessageAnswer::No ? "no"
                                                             : "ok";
        messages.push_back({{"text", TextToUtf8(m.text)},
                            {"buttons", yesNo ? "yes/no" : "ok"},
                            {"icon", MessageIconName(m.icon)},
                            {"answer", answer}});
    }
    return messages;
}

Json WindowsJson() {
    Json windows = Json::object();
    for (int k = 0; k < WindowCount; ++k) {
        const auto id = static_cast<WindowId>(k);
        windows[WindowKey(id)] = WindowEntry(id);
    }
    return windows;
}

std::string DumpText() {
    Json dump{{"state", StateJson()}, {"messages", MessagesJson()}, {"windows", WindowsJson()}};
    return dump.dump(1, ' ', false, nlohmann::json::error_handler_t::replace);
}

bool WriteDump() {
    const std::string& path = Data().file;
    if (path.empty()) {
        return true;
    }
    const std::string text = DumpText();
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit()) {
        qWarning("fundlens: cannot write the control dump %s", path.c_str());
        return false;
    }
    const QImage canvas = ChartCanvas();
    const QString png = QString::fromStdString(path + ".chart.png");
    if (canvas.isNull()) {
        QFile::remove(png);
        return true;
    }
    return canvas.save(png, "PNG");
}

void ResetDump() {
    Data().windows = {};
    ForgetMessagesShown();
}

} // namespace fundlens
