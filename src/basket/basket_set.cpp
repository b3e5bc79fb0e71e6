#include "basket/basket_set.h"

#include "basket/basket_chart.h"
#include "basket/basket_loads.h"
#include "runs/runs.h"
#include "shell/basket_form.h"
#include "shell/main_view.h"
#include "shell/messages.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "store/input_checks.h"

#include <algorithm>

namespace fundlens {

namespace {

int FreeColorSlot(const BasketView& basket) {
    for (int slot = 0; slot < MaxBasketFunds; ++slot) {
        const bool taken = std::any_of(basket.funds.begin(), basket.funds.end(),
                                       [slot](const BasketFund& f) { return f.colorSlot == slot; });
        if (!taken)
            return slot;
    }
    return 0;
}

// The name the fund list shows for `code`, if it lists it.
Text ListedName(const Text& code) {
    for (const FundListRow& row : State().Views.fundList.rows) {
        if (row[CodeColumn].text == code)
            return row[NameColumn].text;
    }
    return Text();
}

Text NameOr(const Text& name, const Text& code) {
    return name.empty() ? ListedName(code) : name;
}

// The window, when open, shows the basket's new set of funds.
void ShowChangedBasket() {
    ShowBasketButton();
    ShowBasketSummary();
}

} // namespace

BasketView& Basket() {
    return State().Views.basket;
}

Text BasketRefusal(const BasketView& basket, const Text& code) {
    if (!CheckFundCode(code).empty())
        return "请选择要加入的对象"_gbk;
    if (basket.Find(code) != nullptr)
        return "该基金已在对比篮中"_gbk;
    if (static_cast<int>(basket.funds.size()) >= MaxBasketFunds)
        return "对比篮最多八支基金"_gbk;
    return Text();
}

void AppendToBasket(BasketView& basket, const Text& code, const Text& name) {
    basket.funds.push_back({code, name, FreeColorSlot(basket)});
}

bool AddFundToBasket(const Text& code, const Text& name) {
    BasketView& basket = Basket();
    const Text refusal = BasketRefusal(basket, code);
    if (!refusal.empty()) {
        ShowMessage(refusal);
        return false;
    }
    AppendToBasket(basket, code, name);
    ShowChangedBasket();
    if (BasketWindow().Exists()) {
        RefreshBasketTables(); // its row at once, empty until its answers come
        StartBasketHoldings({code});
        StartBasketCurves();
    }
    return true;
}

void AddToBasket() {
    const FundListRow* row = FundListMenuRow();
    if (row == nullptr) {
        ShowMessage("请选择要加入的对象"_gbk);
        return;
    }
    AddFundToBasket((*row)[CodeColumn].text, (*row)[NameColumn].text);
}

void RemoveFromBasket(int row) {
    BasketView& basket = Basket();
    if (row < 1 || row > static_cast<int>(basket.funds.size())) {
        ShowMessage("请选择要移出的基金"_gbk);
        return;
    }
    const Text code = basket.funds[static_cast<std::size_t>(row - 1)].code;
    basket.funds.erase(basket.funds.begin() + (row - 1));
    basket.curves.byCode.erase(code);
    basket.holdings.erase(code);
    if (basket.funds.empty())
        EndRuns(RunEvent::BasketEmptied);
    ShowChangedBasket();
    ShowBasketChart();
    RefreshBasketTables();
}

std::vector<BasketFund> StartingFunds() {
    const ProgramState& state = State();
    BasketView starting;
    const std::pair<const Text*, Text> candidates[] = {
        {&state.CurrentFundCode, NameOr(state.Views.current.name, state.CurrentFundCode)},
        {&state.CompareFundCode, NameOr(state.Views.compare.name, state.CompareFundCode)},
    };
    for (const auto& [code, name] : candidates) {
        if (BasketRefusal(starting, *code).empty())
            AppendToBasket(starting, *code, name);
    }
    return starting.funds;
}

void ShowBasketButton() {
    const std::size_t count = Basket().funds.size();
    Text caption = "多基金对比"_gbk;
    if (count > 0)
        caption += "（"_gbk + NumberToText(static_cast<int>(count)) + "）"_gbk;
    MainWindow().ButtonNamed(BasketButtonName).SetCaption(caption);
}

} // namespace fundlens
