// The small modal dialog a watched fund's transaction is entered in: 加仓 (date, amount or
// shares, NAV, fee), 减仓 (date, shares, NAV, fee) or 编辑持仓 (shares and cost). It gives back
// the texts as typed; its OK runs the caller's check and, when the check refuses the entry,
// says why inside the dialog and stays open.
#pragma once

#include "text/text.h"

#include <QDialog>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;

namespace fundlens {

enum class EntryKind { Buy, Sell, Position };

// The fields as typed (GBK); a field the kind does not have stays empty.
struct TransactionEntry {
    Text date, amount, shares, nav, fee, cost;
};

struct EntryDialogSetup {
    EntryKind kind = EntryKind::Buy;
    Text title;               // GBK
    TransactionEntry initial; // the fields' texts when the dialog opens
    // What is wrong with the entry (GBK), shown in the dialog; empty: the entry is accepted.
    std::function<Text(const TransactionEntry&)> problemOf;
};

// The controls' names.
inline constexpr const char* EntryDateName = "交易日期框";
inline constexpr const char* EntryAmountName = "买入金额框";
inline constexpr const char* EntrySharesName = "份额框";
inline constexpr const char* EntryNavName = "成交净值框";
inline constexpr const char* EntryFeeName = "手续费框";
inline constexpr const char* EntryCostName = "持仓成本框";
inline constexpr const char* EntryProblemName = "交易提示标签";
inline constexpr const char* EntryOkName = "确定钮";
inline constexpr const char* EntryCancelName = "取消钮";

class TransactionDialog : public QDialog {
    Q_OBJECT
public:
    TransactionDialog(EntryDialogSetup setup, QWidget* parent);
    const TransactionEntry& Entry() const { return m_entry; }

private:
    void OkClicked();
    TransactionEntry Typed();

    EntryDialogSetup m_setup;
    TransactionEntry m_entry;
};

// Shows the dialog, modal, over the watchlist window; the entry accepted, or nothing when it
// was cancelled or closed.
std::optional<TransactionEntry> AskTransaction(const EntryDialogSetup& setup);

// The seam for tests: instead of running the dialog's own loop, the driver gets the shown
// dialog to fill in and to accept or cancel (with real clicks and keys). An empty driver
// restores the loop. Returns the previous driver.
using EntryDialogDriver = std::function<void(TransactionDialog& dialog)>;
EntryDialogDriver SetEntryDialogDriver(EntryDialogDriver driver);

} // namespace fundlens
