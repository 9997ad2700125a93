// Lengths scaled by the window's DPI (the DPI itself comes from
// tonquil_dpi.h). Every length is given at 96 DPI and scaled by Ui.Dpi.
#ifndef TONQUIL_EXTENSION_DPI_H
#define TONQUIL_EXTENSION_DPI_H

#include <windows.h>
#include "tonquil_dpi.h"

int Scale(int length);
int Unscale(int length);

#endif
