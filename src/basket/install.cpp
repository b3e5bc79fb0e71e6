#include "basket/install.h"

#include "basket/basket_chart.h"
#include "basket/basket_set.h"
#include "basket/basket_window.h"
#include "shell/event_routines.h"

namespace fundlens {

void InstallBasketRoutines(EventRoutines& routines) {
    routines.basketButtonClicked = OpenBasketWindow;
    routines.addToBasketChosen = AddToBasket;
    routines.basket.periodClicked = SelectBasketPeriod;
    routines.basket.panelMouseMoved = BasketPanelMouseMoved;
    routines.basket.removeChosen = RemoveFromBasket;
    routines.basket.exportClicked = ExportBasketTables;
    routines.basket.windowClosed = BasketWindowClosed;
    routines.basket.addFund = AddFundToBasket;
}

} // namespace fundlens
