#pragma once

#include "platform/sim/win/types.h"
