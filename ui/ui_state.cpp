#include "ui/ui_state.h"

UiState& TheUiState() {
    static UiState state;
    return state;
}
