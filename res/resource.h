// Identifiers of the player's resources.
#ifndef TONQUIL_RES_RESOURCE_H
#define TONQUIL_RES_RESOURCE_H

#include "tonquil_extension.h"

#endif
