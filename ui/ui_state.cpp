#include "ui/ui_state.h"

#include "ui/dialog_texts.h"

namespace ui {

UiState& TheUiState() {
    static UiState state;
    return state;
}

std::vector<std::string> ChosenPages() {
    const UiState& ui = TheUiState();
    if (!ui.pagePaths.empty()) return ui.pagePaths;
    if (IsPageChosen(ui.pagePath)) return {ui.pagePath};
    return {};
}

}  // namespace ui
