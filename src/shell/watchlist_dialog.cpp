#include "shell/watchlist_dialog.h"

#include "shell/controls.h"
#include "shell/forms.h"
#include "shell/windows.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <map>
#include <string>
#include <vector>

namespace fundlens {

namespace {

using K = ControlKind;

constexpr int Margin = 16;
constexpr int LineHeight = 28;
constexpr int LineStep = 36;
constexpr int CaptionWidth = 128;
constexpr int FieldLeft = Margin + CaptionWidth + 8;
constexpr int FieldWidth = 200;
constexpr int DialogWidth = FieldLeft + FieldWidth + Margin;
constexpr int ButtonWidth = 88;
constexpr int ButtonHeight = 32;
constexpr Rgb ProblemColor = RgbRed;

struct Field {
    const char* name;
    const char* caption; // UTF-8
    Text TransactionEntry::*text;
};

std::vector<Field> FieldsOf(EntryKind kind) {
    switch (kind) {
    case EntryKind::Buy:
        return {{EntryDateName, "交易日期", &TransactionEntry::date},
                {EntryAmountName, "买入金额（含手续费）", &TransactionEntry::amount},
                {EntrySharesName, "或买入份额", &TransactionEntry::shares},
                {EntryNavName, "成交净值", &TransactionEntry::nav},
                {EntryFeeName, "手续费", &TransactionEntry::fee}};
    case EntryKind::Sell:
        return {{EntryDateName, "交易日期", &TransactionEntry::date},
                {EntrySharesName, "卖出份额", &TransactionEntry::shares},
                {EntryNavName, "成交净值", &TransactionEntry::nav},
                {EntryFeeName, "手续费", &TransactionEntry::fee}};
    case EntryKind::Position:
        return {{EntrySharesName, "持有份额", &TransactionEntry::shares},
                {EntryCostName, "持仓成本", &TransactionEntry::cost}};
    }
    return {};
}

// The caption labels' names: the field's name with 说明 for 框.
const std::string& CaptionName(const char* fieldName) {
    static std::map<std::string, std::string> names;
    std::string& name = names[fieldName];
    if (name.empty()) {
        name = fieldName;
        name.replace(name.rfind("框"), std::string("框").size(), "说明");
    }
    return name;
}

WindowDesign DesignOf(EntryKind kind) {
    WindowDesign design{"", 0, 0, DialogWidth, 0, {}};
    int top = Margin;
    for (const Field& field : FieldsOf(kind)) {
        design.controls.push_back({CaptionName(field.name).c_str(), K::Label, field.caption, Margin,
                                   top, CaptionWidth, LineHeight});
        design.controls.push_back(
            {field.name, K::Edit, "", FieldLeft, top, FieldWidth, LineHeight});
        top += LineStep;
    }
    design.controls.push_back(
        {EntryProblemName, K::Label, "", Margin, top, DialogWidth - 2 * Margin, LineHeight});
    top += LineStep;
    design.controls.push_back({EntryOkName, K::Button, "确定",
                               DialogWidth - Margin - 2 * ButtonWidth - 8, top, ButtonWidth,
                               ButtonHeight});
    design.controls.push_back({EntryCancelName, K::Button, "取消",
                               DialogWidth - Margin - ButtonWidth, top, ButtonWidth, ButtonHeight});
    design.height = top + ButtonHeight + Margin;
    return design;
}

template <class W>
W* Child(QWidget* window, const char* name) {
    return window->findChild<W*>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly);
}

EntryDialogDriver& Driver() {
    static EntryDialogDriver driver;
    return driver;
}

} // namespace

TransactionDialog::TransactionDialog(EntryDialogSetup setup, QWidget* parent)
    : QDialog(parent), m_setup(std::move(setup)) {
    setObjectName(QStringLiteral("transaction"));
    setModal(true);
    const WindowDesign design = DesignOf(m_setup.kind);
    BuildWindow(this, design);
    setWindowTitle(ToQString(m_setup.title));
    for (const Field& field : FieldsOf(m_setup.kind))
        EditBox(Child<QLineEdit>(this, field.name)).SetContent(m_setup.initial.*field.text);
    Label(Child<QLabel>(this, EntryProblemName)).SetTextColor(ProblemColor);
    auto* ok = Child<QPushButton>(this, EntryOkName);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TransactionDialog::OkClicked);
    connect(Child<QPushButton>(this, EntryCancelName), &QPushButton::clicked, this,
            &QDialog::reject);
}

TransactionEntry TransactionDialog::Typed() {
    TransactionEntry entry;
    for (const Field& field : FieldsOf(m_setup.kind))
        entry.*field.text = EditBox(Child<QLineEdit>(this, field.name)).Content();
    return entry;
}

void TransactionDialog::OkClicked() {
    const TransactionEntry entry = Typed();
    const Text problem = m_setup.problemOf ? m_setup.problemOf(entry) : Text();
    Label(Child<QLabel>(this, EntryProblemName)).SetCaption(problem);
    if (!problem.empty())
        return;
    m_entry = entry;
    accept();
}

std::optional<TransactionEntry> AskTransaction(const EntryDialogSetup& setup) {
    QPointer<TransactionDialog> dialog = new TransactionDialog(setup, WatchlistWindow().widget());
    dialog->setWindowModality(Qt::ApplicationModal);
    if (const EntryDialogDriver driver = Driver()) {
        dialog->show();
        driver(*dialog);
    } else {
        dialog->exec();
    }
    if (!dialog)
        return std::nullopt; // its parent went while it was open
    std::optional<TransactionEntry> entry;
    if (dialog->result() == QDialog::Accepted)
        entry = dialog->Entry();
    dialog->deleteLater();
    return entry;
}

EntryDialogDriver SetEntryDialogDriver(EntryDialogDriver driver) {
    return std::exchange(Driver(), std::move(driver));
}

} // namespace fundlens
