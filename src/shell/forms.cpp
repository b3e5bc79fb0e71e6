#include "shell/forms.h"

#include "portal/sector_table.h"
#include "shell/controls.h"
#include "shell/draw_panel.h"
#include "shell/event_routines.h"
#include "shell/full_text.h"
#include "shell/grid_widget.h"
#include "shell/main_view.h"
#include "shell/picture_box.h"
#include "shell/rgb.h"
#include "shell/search_field.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace fundlens {

namespace {

// Hint colour of the search box as designed.
constexpr Rgb HintColor = RgbGrey;
// Row height of the suggestion list.
constexpr int SuggestionRowHeight = 30;

template <class W>
W* Child(QWidget* window, const char* name) {
    return window->findChild<W*>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly);
}

QTreeWidget* CreateSuggestionList(QWidget* window) {
    auto* list = new QTreeWidget(window);
    const auto& columns = SuggestionListColumns();
    list->setColumnCount(static_cast<int>(columns.size()));
    QStringList headers;
    for (const ListColumn& column : columns) {
        headers << QString::fromUtf8(column.header);
    }
    list->setHeaderLabels(headers);
    list->header()->setMinimumSectionSize(0);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionsMovable(false);
    for (int c = 0; c < list->columnCount(); ++c) {
        list->header()->resizeSection(c, columns[static_cast<std::size_t>(c)].width);
    }
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setStyleSheet(
        QStringLiteral("QTreeWidget::item { height: %1px; }").arg(SuggestionRowHeight));
    list->setVisible(false);
    return list;
}

// Gives a top-level window its designed outer size once a window manager has framed it (the
// frame is known only then). Without a frame nothing changes.
class OuterSizeKeeper : public QObject {
public:
    OuterSizeKeeper(QWidget* window, QSize designed, QSize controlsExtent)
        : QObject(window), m_window(window), m_designed(designed), m_extent(controlsExtent) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (!m_fitted && watched == m_window &&
            (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize))
            Fit();
        return QObject::eventFilter(watched, event);
    }

private:
    void Fit() {
        const int frameWidth = m_window->frameGeometry().width() - m_window->width();
        const int frameHeight = m_window->frameGeometry().height() - m_window->height();
        if (frameWidth <= 0 && frameHeight <= 0)
            return;
        m_fitted = true;
        m_window->resize(ClientSizeForOuterSize(m_designed, frameWidth, frameHeight, m_extent));
    }

    QWidget* m_window;
    QSize m_designed;
    QSize m_extent;
    bool m_fitted = false;
};

QSize ControlsExtent(const WindowDesign& design) {
    QSize extent(0, 0);
    for (const ControlDesign& control : design.controls)
        extent =
            extent.expandedTo(QSize(control.left + control.width, control.top + control.height));
    return extent;
}

// Tab visits `controls` in this order.
void ChainTabOrder(const std::vector<QWidget*>& controls) {
    for (std::size_t i = 1; i < controls.size(); ++i)
        QWidget::setTabOrder(controls[i - 1], controls[i]);
}

// The controls Tab stops at, in reading order: by top edge, then by left edge.
void SetReadingTabOrder(std::vector<std::pair<const ControlDesign*, QWidget*>> made) {
    std::erase_if(made, [](const auto& control) {
        return (control.second->focusPolicy() & Qt::TabFocus) == 0;
    });
    std::stable_sort(made.begin(), made.end(), [](const auto& a, const auto& b) {
        return std::pair(a.first->top, a.first->left) < std::pair(b.first->top, b.first->left);
    });
    std::vector<QWidget*> controls;
    for (const auto& control : made)
        controls.push_back(control.second);
    ChainTabOrder(controls);
}

QMenu* CreateMenu(QWidget* window, const char* name, std::initializer_list<const char*> items) {
    auto* menu = new QMenu(window);
    menu->setObjectName(QString::fromUtf8(name));
    for (const char* item : items)
        menu->addAction(QString::fromUtf8(item));
    return menu;
}

} // namespace

QWidget* CreateControl(const ControlDesign& design, QWidget* window) {
    const QString caption = QString::fromUtf8(design.caption);
    QWidget* widget = nullptr;
    switch (design.kind) {
    case ControlKind::Label: {
        auto* label = new FullTextLabel(window); // plain text, whole when cut
        label->setText(caption);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        widget = label;
        break;
    }
    case ControlKind::Button: {
        auto* button = new QPushButton(caption, window);
        button->setAutoDefault(false);
        widget = button;
        break;
    }
    case ControlKind::Edit:
        widget = new QLineEdit(caption, window);
        break;
    case ControlKind::Grid:
        widget = new GridWidget(GridDesignNamed(design.name), window);
        break;
    case ControlKind::List:
        widget = CreateSuggestionList(window);
        break;
    case ControlKind::Picture:
        widget = new PictureBoxWidget(window);
        break;
    case ControlKind::Panel:
        widget = new DrawPanelWidget(window);
        break;
    }
    widget->setObjectName(QString::fromUtf8(design.name));
    widget->setGeometry(design.left, design.top, design.width, design.height);
    return widget;
}

QSize ClientSizeForOuterSize(QSize designed, int frameWidth, int frameHeight,
                             QSize controlsExtent) {
    const QSize client(designed.width() - std::max(frameWidth, 0),
                       designed.height() - std::max(frameHeight, 0));
    return client.expandedTo(controlsExtent);
}

void BuildWindow(QWidget* window, const WindowDesign& design) {
    window->setWindowTitle(QString::fromUtf8(design.title));
    std::vector<std::pair<const ControlDesign*, QWidget*>> made;
    for (const ControlDesign& control : design.controls) {
        made.emplace_back(&control, CreateControl(control, window));
    }
    SetReadingTabOrder(std::move(made));
    // A window's place is that of its frame; until a frame is known the client has the size.
    window->resize(design.width, design.height);
    window->move(design.left, design.top);
    new OuterSizeKeeper(window, QSize(design.width, design.height), ControlsExtent(design));
}

void SetTabOrder(QWidget* window, std::initializer_list<const char*> names) {
    std::vector<QWidget*> controls;
    for (const char* name : names) {
        if (auto* control = Child<QWidget>(window, name))
            controls.push_back(control);
    }
    ChainTabOrder(controls);
}

// ---- main window

MainForm::MainForm(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("main"));
    BuildWindow(this, MainWindowDesign());
    m_controls.fundList = Child<GridWidget>(this, "高级表格1");
    m_controls.compareGrid = Child<GridWidget>(this, "高级表格2");
    m_controls.riskGrid = Child<GridWidget>(this, "高级表格3");
    m_controls.compareRiskGrid = Child<GridWidget>(this, "高级表格4");
    m_controls.holdingsGrid = Child<GridWidget>(this, "高级表格5");
    m_controls.compareHoldingsGrid = Child<GridWidget>(this, "高级表格6");
    m_controls.fiveStarButton = Child<QPushButton>(this, "五星基金钮");
    m_controls.sectorChooser = Child<QPushButton>(this, "选择板块钮");
    m_controls.chartButton = Child<QPushButton>(this, "净值走势钮");
    m_controls.searchBox = Child<QLineEdit>(this, "搜索框");
    m_controls.suggestionList = Child<QTreeWidget>(this, "超级列表框1");
    m_controls.watchlistButton = Child<QPushButton>(this, WatchlistButtonName);
    m_controls.basketButton = Child<QPushButton>(this, BasketButtonName);
    m_controls.addMenu =
        CreateMenu(this, AddMenuName, {AddMenuItem, AddToWatchlistItem, AddToBasketItem});
    m_controls.removeMenu = CreateMenu(this, RemoveMenuName, {RemoveMenuItem});

    QPalette palette = m_controls.searchBox->palette();
    palette.setColor(QPalette::Text, ToQColor(HintColor));
    m_controls.searchBox->setPalette(palette);
    m_controls.suggestionList->raise();
    // The lists on the left, the buttons below them, the buttons and the search box at the top,
    // then the current fund's detail grids and the pinned fund's.
    SetTabOrder(this, {FundListName, CompareRowsName, FiveStarButtonName, WatchlistButtonName,
                       BasketButtonName, SectorChooserName, ChartButtonName, SearchBoxName,
                       SuggestionListName, CurrentColumnNames.risk, CurrentColumnNames.holdings,
                       CompareColumnNames.risk, CompareColumnNames.holdings});
    // Start with the focus on a button: focusing the search box would clear its hint.
    m_controls.fiveStarButton->setFocus(Qt::OtherFocusReason);
    WireEvents();
}

void MainForm::WireEvents() {
    const MainControls& c = m_controls;
    connect(c.fiveStarButton, &QPushButton::clicked, this,
            [] { Fire(Routines().fiveStarClicked); });
    connect(c.sectorChooser, &QPushButton::clicked, this,
            [] { Fire(Routines().sectorChooserClicked); });
    connect(c.chartButton, &QPushButton::clicked, this,
            [] { Fire(Routines().chartButtonClicked); });
    connect(c.fundList, &GridWidget::headerClicked, this,
            [](int row, int column) { Fire(Routines().headerClicked, row, column); });
    connect(c.fundList, &GridWidget::cursorMoved, this,
            [](int row, int column) { Fire(Routines().cursorMoved, row, column); });
    // Enter on a row shows it again, as moving the cursor onto it does.
    connect(c.fundList, &GridWidget::rowEntered, this,
            [](int row, int column) { Fire(Routines().cursorMoved, row, column); });
    connect(c.fundList, &GridWidget::rightButtonPressed, this, [this](int x, int y) {
        Fire(Routines().fundListRightPressed, x, y);
        if (m_controls.fundList && m_controls.addMenu) {
            m_controls.addMenu->popup(m_controls.fundList->mapToGlobal(QPoint(x, y)));
        }
    });
    connect(c.compareGrid, &GridWidget::rightButtonPressed, this, [this](int x, int y) {
        Fire(Routines().compareGridRightPressed, x, y);
        if (m_controls.compareGrid && m_controls.removeMenu) {
            m_controls.removeMenu->popup(m_controls.compareGrid->mapToGlobal(QPoint(x, y)));
        }
    });
    connect(c.watchlistButton, &QPushButton::clicked, this,
            [] { Fire(Routines().watchlistButtonClicked); });
    connect(c.basketButton, &QPushButton::clicked, this,
            [] { Fire(Routines().basketButtonClicked); });
    connect(c.addMenu, &QMenu::triggered, this, [this](QAction* action) {
        const auto items = m_controls.addMenu->actions();
        const qsizetype item = items.indexOf(action);
        if (item == 0)
            Fire(Routines().addToCompareChosen);
        else if (item == 1)
            Fire(Routines().addToWatchlistChosen);
        else if (item == 2)
            Fire(Routines().addToBasketChosen);
    });
    connect(c.removeMenu, &QMenu::triggered, this,
            [] { Fire(Routines().removeFromCompareChosen); });
    connect(c.riskGrid, &GridWidget::mouseMoved, this,
            [](int x, int y) { Fire(Routines().riskGridMouseMoved, 3, x, y); });
    connect(c.compareRiskGrid, &GridWidget::mouseMoved, this,
            [](int x, int y) { Fire(Routines().riskGridMouseMoved, 4, x, y); });
    new SearchField(c.searchBox, c.suggestionList, this);
    // The risk grids explain their figures in their own tooltip (shown on mouse moves).
    c.riskGrid->SetFullTextTips(false);
    c.compareRiskGrid->SetFullTextTips(false);
    for (GridWidget* grid : {c.fundList, c.compareGrid, c.riskGrid, c.compareRiskGrid,
                             c.holdingsGrid, c.compareHoldingsGrid}) {
        const std::string name = grid->objectName().toStdString();
        grid->SetCellSource(
            [name](int row, int column) { return ToQString(ShownCellText(name, row, column)); });
    }
}

void MainForm::closeEvent(QCloseEvent* event) {
    event->accept();
    Q_EMIT closing();
}

// ---- sector window

SectorForm::SectorForm() : QWidget(nullptr) {
    setObjectName(QStringLiteral("sector"));
    setAttribute(Qt::WA_DeleteOnClose);
    BuildWindow(this, SectorWindowDesign());
    for (int n = 1; n <= SectorCount; ++n) {
        auto* button = Child<QPushButton>(this, ("按钮" + std::to_string(n)).c_str());
        connect(button, &QPushButton::clicked, this,
                [n] { Fire(Routines().sectorButtonClicked, n); });
    }
}

SectorForm::~SectorForm() {
    Fire(Routines().sectorWindowDestroyed);
}

void SectorForm::closeEvent(QCloseEvent* event) {
    event->accept();
    Q_EMIT closing();
}

// ---- chart window

ChartForm::ChartForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("chart"));
    setModal(true);
    BuildWindow(this, ChartWindowDesign());
    m_controls.currentImage = Child<PictureBoxWidget>(this, "图片框1");
    m_controls.compareImage = Child<PictureBoxWidget>(this, "图片框2");
    m_controls.panel = Child<DrawPanelWidget>(this, "画板1");
    m_controls.titleLabel = Child<QLabel>(this, "标签2");
    m_controls.noteLabel = Child<QLabel>(this, "标签1");
    for (int n = 1; n <= PeriodButtonCount; ++n) {
        QPushButton* button = Child<QPushButton>(this, ("按钮" + std::to_string(n)).c_str());
        m_controls.periodButtons[static_cast<std::size_t>(n - 1)] = button;
        connect(button, &QPushButton::clicked, this,
                [n] { Fire(Routines().periodButtonClicked, n); });
    }
    connect(m_controls.panel, &DrawPanelWidget::mouseMoved, this,
            [](int x, int y) { Fire(Routines().panelMouseMoved, x, y); });
}

} // namespace fundlens
