#include "extension/common/dpi.h"

#include "extension/window/window_ui.h"

int Scale(int length) {
    return MulDiv(length, (int)Ui.Dpi, TQ_PLAIN_DPI);
}

int Unscale(int length) {
    return Ui.Dpi ? MulDiv(length, TQ_PLAIN_DPI, (int)Ui.Dpi) : length;
}
