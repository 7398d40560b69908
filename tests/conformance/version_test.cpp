// Placeholder removed once the kernel conformance tests land.
#include "tests/conformance/fixture.h"
