// The basket's funds: up to eight, added from the fund list's popup menu, removed in the basket
// window, program-wide for the rest of the run (closing the window keeps them).
#pragma once

#include "shell/basket_view.h"

#include <vector>

namespace fundlens {

// The program's basket (State().Views.basket).
BasketView& Basket();

// Why a fund cannot be added (GBK); empty when it can: a code that is not six digits, a fund
// already in the basket, a full basket.
Text BasketRefusal(const BasketView& basket, const Text& code);

// Appends the fund with the lowest colour slot no fund in the basket has. The fund must be
// acceptable (BasketRefusal empty).
void AppendToBasket(BasketView& basket, const Text& code, const Text& name);

// 菜单 "加入对比篮": the fund list's fund the menu acts on (FundListMenuRow; its code and name as
// the list shows them) joins the basket, or a message says why not; the window, when open, loads
// the new fund.
void AddToBasket();

// Adds a fund, or says why not; true when it was added.
bool AddFundToBasket(const Text& code, const Text& name);

// 移出对比篮 on the risk table's row `row` (1 is the first fund): the fund leaves the basket;
// the chart and the tables are made anew from what the other funds have (nothing refetched).
void RemoveFromBasket(int row);

// The funds a basket starts with when it is empty as the window opens: the current fund and
// the compare fund (those set), named by their detail columns.
std::vector<BasketFund> StartingFunds();

// 多基金对比钮's caption: the number of funds in the basket after its name.
void ShowBasketButton();

} // namespace fundlens
